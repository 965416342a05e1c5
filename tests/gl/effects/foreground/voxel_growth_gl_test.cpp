#include "core/random.h"
#include "effects/voxel_growth.h"
#include "foreground_gl_support.h"

#include <GL/glu.h>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <set>

namespace {

constexpr BaseColour base = {0.3f, 0.5f, 0.62f};

struct FaceView {
    const char* name;
    float angle; // degrees
    float axisX;
    float axisY;
    Rgba expected;
};

// Each face turned towards the viewer, with its colour: top white, bottom +0.1 +0.1 +0.2,
// front +0.4, back +0.2, left and right +0.35, clamped.
std::vector<FaceView> faceViews() {
    return {
        {"front", 0.0f, 0, 1, toBytes(0.7, 0.9, 1.02)},
        {"back", 180.0f, 0, 1, toBytes(0.5, 0.7, 0.82)},
        {"top", 90.0f, 1, 0, toBytes(1.0, 1.0, 1.0)},
        {"bottom", -90.0f, 1, 0, toBytes(0.4, 0.6, 0.82)},
        {"right", -90.0f, 0, 1, toBytes(0.65, 0.85, 0.97)},
        {"left", 90.0f, 0, 1, toBytes(0.65, 0.85, 0.97)},
    };
}

class VoxelGrowthGlTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(context.ready());
        enterDrawContext(base);
    }
    GlTestContext context;
};

TEST_F(VoxelGrowthGlTest, CubeFacesShowColoursDerivedFromTheBaseColour) {
    for (const FaceView& view : faceViews()) {
        enterDrawContext(base);
        glLoadIdentity();
        glTranslatef(0.0f, 0.0f, -6.0f);
        glRotatef(view.angle, view.axisX, view.axisY, 0.0f);
        drawCube();
        EXPECT_TRUE(colourNear(readPixel(256, 256), view.expected, 1)) << view.name;
        GLfloat current[4] = {};
        glGetFloatv(GL_CURRENT_COLOR, current);
        EXPECT_EQ(current[0], base.red) << view.name;
        EXPECT_EQ(current[1], base.green) << view.name;
        EXPECT_EQ(current[2], base.blue) << view.name;
    }
}

class VoxelDrawTest : public VoxelGrowthGlTest {
protected:
    std::unique_ptr<VoxelGrowth> growth = std::make_unique<VoxelGrowth>();

    std::vector<Rgba> drawAt(float seconds) {
        enterDrawContext(base);
        growth->draw(seconds);
        return readPixels(0, 0, 512, 512);
    }

    Vec3 eye() const {
        return {growth->camera.eye[0], growth->camera.eye[1], growth->camera.eye[2]};
    }
    Vec3 target() const {
        return {growth->camera.target[0], growth->camera.target[1], growth->camera.target[2]};
    }
};

TEST_F(VoxelDrawTest, EveryPixelIsBackgroundOrAFaceColour) {
    seedRandom(5);
    for (float t = 1.0f; t < 4.0f; t += 0.1f) {
        drawAt(t);
    }
    ASSERT_GT(growth->cubeCount, 20);
    const std::vector<Rgba> pixels = drawAt(4.0f);
    std::vector<Rgba> allowed = {{0, 0, 0, 0}};
    for (const FaceView& view : faceViews()) {
        allowed.push_back(view.expected);
    }
    std::set<std::size_t> seen;
    int cubePixels = 0;
    for (const Rgba& pixel : pixels) {
        std::size_t match = allowed.size();
        for (std::size_t i = 0; i < allowed.size(); ++i) {
            if (sameColour(pixel, allowed[i], 1)) {
                match = i;
                break;
            }
        }
        ASSERT_LT(match, allowed.size()) << "a pixel of no face colour: " << int(pixel[0]) << ", "
                                         << int(pixel[1]) << ", " << int(pixel[2]);
        seen.insert(match);
        cubePixels += match == 0 ? 0 : 1;
    }
    EXPECT_GT(cubePixels, 2000);
    // The eye circles at height 32 above the cubes: the white tops always show.
    EXPECT_TRUE(seen.count(3) == 1);
    EXPECT_GE(seen.size(), 4u);
}

TEST_F(VoxelDrawTest, CubesStandAtTheirCellsLessThirtyTwoUnderTheCirclingCamera) {
    seedRandom(9);
    drawAt(0.7f);
    ASSERT_EQ(growth->cubeCount, 2);
    // The eye circles at radius 32, height 32, two radians per second.
    EXPECT_FLOAT_EQ(growth->camera.eye[0], static_cast<float>(32.0 * std::cos(2.0 * 0.7f)));
    EXPECT_FLOAT_EQ(growth->camera.eye[1], 32.0f);
    EXPECT_FLOAT_EQ(growth->camera.eye[2], static_cast<float>(32.0 * std::sin(2.0 * 0.7f)));
    // The target lies 6.4 beyond the walker's cube on every axis.
    for (std::size_t axis = 0; axis < 3; ++axis) {
        EXPECT_FLOAT_EQ(growth->camera.target[axis],
                        static_cast<float>(growth->walker[axis] - 25.6));
    }
    // The centre of the top face of the higher cube (nothing stands above it) is white.
    std::vector<Vec3> centres;
    growth->forEachTakenCell([&](int x, int y, int z) {
        centres.push_back({x - 32.0, y - 32.0, z - 32.0});
    });
    ASSERT_EQ(centres.size(), 2u);
    // The first cube stands at the origin of the camera's world.
    EXPECT_NE(std::find(centres.begin(), centres.end(), Vec3{0, 0, 0}), centres.end());
    const Vec3& higher = centres[0][1] >= centres[1][1] ? centres[0] : centres[1];
    const auto top = projectThroughCamera({higher[0], higher[1] + 1.0, higher[2]}, eye(), target());
    const auto below =
        projectThroughCamera({higher[0], higher[1] + 1.0 + 3.0, higher[2]}, eye(), target());
    EXPECT_TRUE(colourNear(readPixel(static_cast<int>(top[0]), static_cast<int>(top[1])),
                           {255, 255, 255, 255}, 1));
    // Three units above the top face there is nothing.
    EXPECT_TRUE(colourNear(readPixel(static_cast<int>(below[0]), static_cast<int>(below[1])),
                           {0, 0, 0, 0}, 0));
}

TEST_F(VoxelDrawTest, LeavesTheMatrixItFoundAndTheCameraProjectionInForce) {
    enterDrawContext(base);
    glTranslatef(1.0f, 2.0f, 3.0f);
    const Matrix entry = currentMatrix(GL_MODELVIEW_MATRIX);
    growth->draw(2.0f);
    expectMatrixNear(currentMatrix(GL_MODELVIEW_MATRIX), entry, 0.0);
    EXPECT_EQ(modelviewStackDepth(), 1);
    expectMatrixNear(currentMatrix(GL_PROJECTION_MATRIX),
                     perspectiveMatrix(90.0, 4.0 / 3.0, static_cast<double>(0.1f), 10000.0), 1e-6);
    GLfloat current[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, current);
    EXPECT_EQ((std::array{current[0], current[1], current[2]}),
              (std::array{base.red, base.green, base.blue}));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// The four hundred and first cube is drawn, and the frame after starts again.
TEST_F(VoxelDrawTest, FullGrowthDrawsFourHundredAndOneCubesThenStartsAgain) {
    seedRandom(13);
    float t = 0.0f;
    while (growth->cubeCount < 400) {
        t += 0.1f;
        growth->advance(t);
    }
    const auto countLit = [](const std::vector<Rgba>& pixels) {
        return std::count_if(pixels.begin(), pixels.end(),
                             [](const Rgba& p) { return p[0] != 0 || p[1] != 0 || p[2] != 0; });
    };
    const auto full = countLit(drawAt(t + 0.1f));
    EXPECT_EQ(growth->cubeCount, 401);
    // Within 0.08 s of that step: the reset alone, one cube.
    const auto fresh = countLit(drawAt(t + 0.15f));
    EXPECT_EQ(growth->cubeCount, 1);
    EXPECT_GT(full, fresh);
    EXPECT_GT(fresh, 0);
}

} // namespace
