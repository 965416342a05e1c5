#include "common/png_writer.h"
#include "forge/pictures/image.h"
#include "resources/file_stream.h"
#include "resources/mesh_model.h"
#include "resources/texture_bank.h"
#include "support/gl_test_context.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace {

// A data/ name of the manifest, in the build's data set.
std::string inDataDir(const char* dataFile) {
    return std::string(LUMIVAHA_DATA_DIR) + "/" + std::string(nameInDataFolder(dataFile));
}

struct Frame {
    std::vector<Rgba> pixels; // bottom row first
    int width = 0;
    int height = 0;
};

// The model as the showcase draws it at a moment of its tumble: environment-mapped through slot
// 13's picture, tinted by a light base colour, seen from the ellipse the camera travels.
Frame renderModel(MeshModel& model, GLuint environment, double seconds, int width, int height) {
    glViewport(0, 0, width, height);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(90.0, 4.0 / 3.0, 0.1, 10000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(std::sin(seconds) * 75.0, 0.0, std::cos(seconds) * 80.0, 0, 0, 0, 0, 1, 0);
    glColor3f(0.95f, 0.92f, 0.85f);
    glBindTexture(GL_TEXTURE_2D, environment);
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
    glRotatef(static_cast<float>(seconds * 90.0), 1, 1, 1);
    model.draw();
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glFinish();
    return {readPixels(0, 0, width, height), width, height};
}

float luma(const Rgba& pixel) {
    return (0.2126f * pixel[0] + 0.7152f * pixel[1] + 0.0722f * pixel[2]) / 255.0f;
}

void writeDocsPicture(const Frame& frame, const std::string& name) {
    const char* docs = std::getenv("LUMIVAHA_DOCS_DIR");
    if (docs == nullptr) {
        return;
    }
    forge::Image image(frame.width, frame.height);
    for (int y = 0; y < frame.height; ++y) {
        for (int x = 0; x < frame.width; ++x) {
            const Rgba& pixel =
                frame.pixels[static_cast<std::size_t>((frame.height - 1 - y) * frame.width + x)];
            image.at(x, y) = {pixel[0] / 255.0f, pixel[1] / 255.0f, pixel[2] / 255.0f};
        }
    }
    const std::vector<unsigned char> rgb = image.toRgb8();
    std::string reason;
    EXPECT_TRUE(writePngFile(std::string(docs) + "/" + name, rgb.data(), image.width(),
                             image.height(), PngRowOrder::topFirst, PngPurpose::picture, reason))
        << reason;
}

class ForgedMeshRender : public testing::TestWithParam<const char*> {};

// At every moment of the tumble the whole model stays inside the view, fills a fair part of it
// and shows the environment's contrast, as polished metal does: dark ground, sky, highlights.
TEST_P(ForgedMeshRender, StaysInViewAndReflectsTheEnvironment) {
    GlTestContext context;
    ASSERT_TRUE(context.ready());
    TextureBank bank{};
    glGenTextures(1, &bank[environmentPictureSlot]);
    loadPicture(bank, inDataDir(pictureFileName(environmentPictureSlot)), environmentPictureSlot);
    FileStream stream(inDataDir(GetParam()));
    MeshModel model;
    model.load(stream);

    for (double seconds : {0.3, 1.4, 2.6, 3.9, 5.2}) {
        Frame frame = renderModel(model, bank[environmentPictureSlot], seconds, 800, 600);
        std::vector<float> lumas;
        int edgeCovered = 0;
        for (int y = 0; y < frame.height; ++y) {
            for (int x = 0; x < frame.width; ++x) {
                const Rgba& pixel = frame.pixels[static_cast<std::size_t>(y * frame.width + x)];
                if (pixel[0] + pixel[1] + pixel[2] == 0) {
                    continue;
                }
                bool edge = x < 2 || y < 2 || x >= frame.width - 2 || y >= frame.height - 2;
                edgeCovered += edge ? 1 : 0;
                lumas.push_back(luma(pixel));
            }
        }
        EXPECT_EQ(edgeCovered, 0) << GetParam() << " at " << seconds
                                  << " s reaches the view's edge";
        ASSERT_GT(lumas.size(), static_cast<std::size_t>(frame.width * frame.height / 40))
            << GetParam() << " at " << seconds;
        std::sort(lumas.begin(), lumas.end());
        float darkish = lumas[lumas.size() / 10];
        float brightish = lumas[lumas.size() * 9 / 10];
        float brightest = lumas[lumas.size() - 1 - lumas.size() / 200];
        EXPECT_GT(brightish - darkish, 0.3f) << GetParam() << " at " << seconds;
        EXPECT_GT(brightest, 0.75f) << GetParam() << " at " << seconds;
        if (seconds == 1.4) {
            const std::string model(nameInDataFolder(GetParam()));
            writeDocsPicture(frame, "mesh_" + model.substr(0, model.find('.')) + ".png");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllModels, ForgedMeshRender, testing::ValuesIn(meshFiles));

} // namespace
