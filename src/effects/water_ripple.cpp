#include "effects/water_ripple.h"

#include "resources/texture_bank.h"

#include <GL/gl.h>
#include <utility>

namespace {

std::int16_t wrapTo16Bits(std::int32_t value) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(value));
}

} // namespace

WaterRipple::WaterRipple() : heights{}, previousHeights{}, fixedMask{} {
    for (int column = 0; column < columns; ++column) {
        fixedMask[static_cast<std::size_t>(column)] = 1;
        fixedMask[static_cast<std::size_t>((rows - 1) * columns + column)] = 1;
    }
    for (int row = 0; row < rows; ++row) {
        fixedMask[static_cast<std::size_t>(row * columns)] = 1;
        fixedMask[static_cast<std::size_t>(row * columns + columns - 1)] = 1;
    }
}

void WaterRipple::step() {
    for (std::size_t i = 0; i < cellCount; ++i) {
        if (fixedMask[i] != 0) {
            previousHeights[i] = 0;
            continue;
        }
        // Only interior cells get here, so all four neighbours lie inside the field.
        const std::int32_t sum =
            heights[i - 1] + heights[i + 1] + heights[i - columns] + heights[i + columns];
        // Wraps modulo 65536 rather than saturating; both shifts round towards minus infinity.
        const std::int16_t wave = wrapTo16Bits((sum >> 1) - previousHeights[i]);
        previousHeights[i] = wrapTo16Bits(wave - (wave >> 10));
    }
    std::swap(heights, previousHeights);
}

int WaterRipple::smoothedHeight(int row, int column) const {
    int sum = 0;
    for (int r = row - 1; r <= row + 1; ++r) {
        for (int c = column - 1; c <= column + 1; ++c) {
            const bool inside = r >= 0 && r < rows && c >= 0 && c < columns;
            if (inside && (r != row || c != column)) {
                sum += previousHeights[static_cast<std::size_t>(r * columns + c)];
            }
        }
    }
    // Nine, though eight cells are summed.
    return sum / 9;
}

void WaterRipple::draw(int textureSlot, float /*seconds*/) {
    step();
    glPushMatrix();
    glViewport(0, 0, 512, 512);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glBindTexture(GL_TEXTURE_2D, textureBank[static_cast<std::size_t>(textureSlot)]);
    glEnable(GL_TEXTURE_2D);
    glTranslatef(0.0f, 0.0f, -23.0f);
    glTranslatef(-31.5f, -24.0f, 0.0f);
    for (int row = 0; row < rows - 1; ++row) {
        drawStrip(row);
    }
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, 512, 512);
    glViewport(0, 0, 800, 600);
    glPopMatrix();
}

void WaterRipple::drawStrip(int row) const {
    glBegin(GL_TRIANGLE_STRIP);
    for (int column = 0; column < columns; ++column) {
        emitVertex(row, column);
        emitVertex(row + 1, column);
    }
    glEnd();
}

void WaterRipple::emitVertex(int row, int column) const {
    const int height = smoothedHeight(row, column);
    // Higher water is darker; negative heights go above 1 and are clamped by the pipeline.
    const auto grey = static_cast<float>(1.0 - height * 0.015625);
    glColor3f(grey, grey, grey);
    glTexCoord2f(static_cast<float>(column * 0.015625),
                 static_cast<float>(1.0 - row * 0.020833333333333332));
    glVertex3f(static_cast<float>(column), static_cast<float>(row),
               static_cast<float>(height * 0.25));
}
