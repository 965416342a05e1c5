#include "effects/voxel_growth.h"

#include "core/base_colour.h"
#include "core/random.h"

#include <GL/gl.h>
#include <cmath>

namespace {

constexpr int startCell = 32;
constexpr int stride = 2;
// Failures beyond this many relocate the walker, every one of them: the count is never reset.
constexpr int failuresBeforeRelocating = 10;

bool insideStrictly(int coordinate) {
    return coordinate > 0 && coordinate < VoxelGrowth::side;
}

int relocatedCoordinate() {
    return nextRandom() % 50 + 10;
}

float plus(float component, double amount) {
    return static_cast<float>(component + amount);
}

void face(float red, float green, float blue, const float (&normal)[3],
          const float (&corners)[4][3]) {
    glColor3f(red, green, blue);
    glNormal3fv(normal);
    for (const auto& corner : corners) {
        glVertex3fv(corner);
    }
}

} // namespace

VoxelGrowth::VoxelGrowth() : grid{}, camera{}, walker{}, lastStepTime(-3.0f), cubeCount(0) {
    camera.setFieldOfView(90.0f);
    reset();
}

void VoxelGrowth::reset() {
    grid.fill(0);
    walker = {startCell, startCell, startCell};
    grid[cellIndex(startCell, startCell, startCell)] = 1;
    cubeCount = 1;
}

void VoxelGrowth::walk() {
    int failures = 0;
    for (;;) {
        std::array<std::int32_t, 3> next = walker;
        const int direction = nextRandom() % 6;
        next[static_cast<std::size_t>(direction / 2)] += direction % 2 == 0 ? -stride : stride;
        if (insideStrictly(next[0]) && insideStrictly(next[1]) && insideStrictly(next[2]) &&
            !isTaken(next[0], next[1], next[2])) {
            grid[cellIndex(next[0], next[1], next[2])] = 1;
            walker = next;
            ++cubeCount;
            return;
        }
        if (++failures > failuresBeforeRelocating) {
            // The spot itself is not taken; the next try moves on from it.
            walker[0] = relocatedCoordinate();
            walker[1] = relocatedCoordinate();
            walker[2] = relocatedCoordinate();
        }
    }
}

void VoxelGrowth::advance(float seconds) {
    // Both tests are strict, and the reset leaves lastStepTime alone so the same frame steps.
    if (lastStepTime + 3.0 < seconds || cubeCount > largestCubeCount) {
        reset();
    }
    if (seconds > lastStepTime + 0.08) {
        lastStepTime = seconds;
        walk();
    }
}

void VoxelGrowth::draw(float seconds) {
    advance(seconds);
    glPushMatrix();
    glLoadIdentity();
    aimCamera(seconds);
    drawCubes();
    glPopMatrix();
}

void VoxelGrowth::aimCamera(float seconds) {
    const double angle = 2.0 * seconds;
    camera.setEye(static_cast<float>(32.0 * std::cos(angle)), 32.0f,
                  static_cast<float>(32.0 * std::sin(angle)));
    camera.setTarget(static_cast<float>(walker[0] - 25.6), static_cast<float>(walker[1] - 25.6),
                     static_cast<float>(walker[2] - 25.6));
    // Leaves the camera's projection in force after draw returns.
    camera.apply();
}

void VoxelGrowth::drawCubes() const {
    forEachTakenCell([](int x, int y, int z) {
        const auto dx = static_cast<float>(x - startCell);
        const auto dy = static_cast<float>(y - startCell);
        const auto dz = static_cast<float>(z - startCell);
        glTranslatef(dx, dy, dz);
        drawCube();
        glTranslatef(-dx, -dy, -dz);
    });
}

void drawCube() {
    const float r = baseColour.red;
    const float g = baseColour.green;
    const float b = baseColour.blue;
    // The left and right faces share one colour.
    const float sideRed = plus(r, 0.35);
    const float sideGreen = plus(g, 0.35);
    const float sideBlue = plus(b, 0.35);
    glBegin(GL_QUADS);
    face(1.0f, 1.0f, 1.0f, {0, 1, 0}, {{1, 1, -1}, {-1, 1, -1}, {-1, 1, 1}, {1, 1, 1}});
    // The bottom adds 0.2 to blue but only 0.1 to red and green.
    face(plus(r, 0.1), plus(g, 0.1), plus(b, 0.2), {0, -1, 0},
         {{1, -1, 1}, {-1, -1, 1}, {-1, -1, -1}, {1, -1, -1}});
    face(plus(r, 0.4), plus(g, 0.4), plus(b, 0.4), {0, 0, 1},
         {{1, 1, 1}, {-1, 1, 1}, {-1, -1, 1}, {1, -1, 1}});
    face(plus(r, 0.2), plus(g, 0.2), plus(b, 0.2), {0, 0, -1},
         {{1, -1, -1}, {-1, -1, -1}, {-1, 1, -1}, {1, 1, -1}});
    face(sideRed, sideGreen, sideBlue, {-1, 0, 0},
         {{-1, 1, 1}, {-1, 1, -1}, {-1, -1, -1}, {-1, -1, 1}});
    face(sideRed, sideGreen, sideBlue, {1, 0, 0}, {{1, 1, -1}, {1, 1, 1}, {1, -1, 1}, {1, -1, -1}});
    glColor3f(r, g, b);
    glEnd();
}
