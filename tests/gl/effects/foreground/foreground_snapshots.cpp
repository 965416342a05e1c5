// Pictures of the foregrounds for the documentation: each drawn over black into the 512x512
// square, as the frame driver lets it draw, and written as PNG.
//   foreground_snapshots <directory holding data/> <output directory>
#include "common/png_writer.h"
#include "core/base_colour.h"
#include "core/random.h"
#include "effects/mesh_showcase.h"
#include "effects/picture_strips.h"
#include "effects/voxel_growth.h"
#include "resources/texture_bank.h"
#include "support/gl_test_context.h"

#include <GL/glu.h>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace {

constexpr int square = 512;

void enterStartupState() {
    glViewport(0, 0, square, square);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(90.0, 800.0 / 600.0, 0.1, 2000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);
    glShadeModel(GL_SMOOTH);
}

void drawFrame(Effect& effect, float seconds) {
    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, textureBank[10]);
    glDisable(GL_TEXTURE_2D);
    glColor3f(baseColour.red, baseColour.green, baseColour.blue);
    effect.draw(seconds);
}

// Frames at 60 per second from `from` up to and including `to`.
void run(Effect& effect, float from, float to) {
    for (int frame = 0; from + static_cast<float>(frame) / 60.0f <= to; ++frame) {
        drawFrame(effect, from + static_cast<float>(frame) / 60.0f);
    }
}

bool writeSquare(const std::filesystem::path& path) {
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(square) * square * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, square, square, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    std::string reason;
    const bool written = writePngFile(path.string(), pixels.data(), square, square,
                                      PngRowOrder::bottomFirst, PngPurpose::picture, reason);
    std::fprintf(written ? stdout : stderr, "%s %s\n", written ? "wrote" : "cannot write",
                 path.c_str());
    return written;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <directory holding data/> <output directory>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path output = std::filesystem::absolute(argv[2]);
    std::filesystem::current_path(argv[1]);
    GlTestContext context;
    if (!context.ready()) {
        std::fprintf(stderr, "no OpenGL context\n");
        return 1;
    }
    seedRandom(20240607);
    baseColour = pickBaseColour();
    loadTextureBank();
    enterStartupState();

    bool written = true;
    auto growth = std::make_unique<VoxelGrowth>();
    run(*growth, 20.0f, 44.0f);
    written = writeSquare(output / "foreground-voxel-growth.png") && written;

    PictureStrips strips;
    run(strips, 30.0f, 30.8f);
    written = writeSquare(output / "foreground-picture-strips.png") && written;

    MeshShowcase showcase;
    for (std::int32_t model = 0; model < MeshShowcase::modelCount; ++model) {
        drawFrame(showcase, 60.0f * static_cast<float>(model + 1));
        showcase.modelIndex = model;
        run(showcase, 60.0f * static_cast<float>(model + 1),
            60.0f * static_cast<float>(model + 1) + 1.3f);
        written =
            writeSquare(output / ("foreground-mesh-showcase-" + std::to_string(model) + ".png")) &&
            written;
    }
    return written ? 0 : 1;
}
