#include "effects/mesh_showcase.h"
#include "foreground_gl_support.h"
#include "resources/texture_bank.h"
#include "showcase_files.h"

#include <cmath>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr BaseColour tint = {0.5f, 1.0f, 1.0f};
const Rgba environment = {200, 100, 50, 255};

Vec3 ellipseEye(double seconds) {
    return {static_cast<float>(75.0 * std::sin(seconds)), 0.0,
            static_cast<float>(80.0 * std::cos(seconds))};
}

// Found by trying every millisecond of the run: here the sine and the cosine taken in single
// precision, once scaled, round to other floats than the double-precision ones.
constexpr float roundingSensitiveTime = 0.716f;

// The point turned by seconds x 90 degrees about (1, 1, 1), as the model is.
Vec3 turned(const Vec3& point, float seconds) {
    const double angle = static_cast<double>(seconds * 90.0f) * M_PI / 180.0;
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    const double k = 1.0 / std::sqrt(3.0);
    const Vec3 axis = {k, k, k};
    const double along = (axis[0] * point[0] + axis[1] * point[1] + axis[2] * point[2]) * (1 - c);
    const Vec3 cross = {axis[1] * point[2] - axis[2] * point[1],
                        axis[2] * point[0] - axis[0] * point[2],
                        axis[0] * point[1] - axis[1] * point[0]};
    Vec3 result{};
    for (std::size_t i = 0; i < 3; ++i) {
        result[i] = point[i] * c + cross[i] * s + axis[i] * along;
    }
    return result;
}

class MeshShowcaseGlTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(context.ready());
        textureBank[environmentPictureSlot] =
            makeSolidTexture(environment[0], environment[1], environment[2]);
        enterDrawContext(tint);
    }

    void drawFrame(float seconds) {
        enterDrawContext(tint);
        showcase->draw(seconds);
    }

    // Every model the same, so reselection cannot change the picture.
    static std::array<AmlModel, 3> threeTimes(const AmlSubMeshData& mesh) {
        return {AmlModel{mesh}, AmlModel{mesh}, AmlModel{mesh}};
    }

    GlTestContext context;
    std::unique_ptr<ShowcaseDirectory> files;
    std::unique_ptr<MeshShowcase> showcase;
};

TEST_F(MeshShowcaseGlTest, LeavesTexgenAndTexturingOffSlotThirteenBoundAndTheCameraProjection) {
    files = std::make_unique<ShowcaseDirectory>(threeTimes(cubeMesh(0, 0, 0, 10)));
    showcase = std::make_unique<MeshShowcase>();
    // The modelview matrix on entry does not matter: the effect starts from the identity.
    glTranslatef(1.0f, 2.0f, 3.0f);
    showcase->draw(20.0f);

    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_T));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), textureBank[environmentPictureSlot]);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_EQ(modelviewStackDepth(), 1);
    expectMatrixNear(currentMatrix(GL_MODELVIEW_MATRIX), identityMatrix(), 0.0);
    expectMatrixNear(currentMatrix(GL_PROJECTION_MATRIX),
                     perspectiveMatrix(90.0, 4.0 / 3.0, static_cast<double>(0.1f), 10000.0), 1e-6);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(MeshShowcaseGlTest, ModelIsTheEnvironmentPictureTintedByTheCurrentColour) {
    files = std::make_unique<ShowcaseDirectory>(threeTimes(cubeMesh(0, 0, 0, 10)));
    showcase = std::make_unique<MeshShowcase>();
    // 1800 degrees: the cube faces the eye squarely again.
    drawFrame(20.0f);
    const Rgba tinted =
        toBytes(environment[0] / 255.0 * tint.red, environment[1] / 255.0 * tint.green,
                environment[2] / 255.0 * tint.blue);
    EXPECT_TRUE(colourNear(readPixel(256, 256), tinted, 2));
    EXPECT_TRUE(colourNear(readPixel(10, 10), {0, 0, 0, 0}, 0));
    // Seen from (0, 0, 100) the front face, 90 units away, reaches 10 / 90 of the half view:
    // 28.4 pixels up and, at 4:3, 21.3 across. From anywhere on the ellipse it would look larger.
    EXPECT_TRUE(colourNear(readPixel(256, 256 + 26), tinted, 2));
    EXPECT_TRUE(colourNear(readPixel(256, 256 + 31), {0, 0, 0, 0}, 0));
    EXPECT_TRUE(colourNear(readPixel(256 - 19, 256), tinted, 2));
    EXPECT_TRUE(colourNear(readPixel(256 - 24, 256), {0, 0, 0, 0}, 0));
}

TEST_F(MeshShowcaseGlTest, EyeIsTheEllipsePointTakenInDoublePrecision) {
    files = std::make_unique<ShowcaseDirectory>(threeTimes(cubeMesh(0, 0, 0, 10)));
    showcase = std::make_unique<MeshShowcase>();
    const Vec3 expected = ellipseEye(roundingSensitiveTime);
    ASSERT_NE(static_cast<float>(std::sin(roundingSensitiveTime) * 75.0), expected[0])
        << "the time no longer tells single from double precision apart";
    ASSERT_NE(static_cast<float>(std::cos(roundingSensitiveTime) * 80.0), expected[2]);
    drawFrame(roundingSensitiveTime);
    EXPECT_EQ(showcase->camera.eye[0], static_cast<float>(expected[0]));
    EXPECT_EQ(showcase->camera.eye[1], 0.0f);
    EXPECT_EQ(showcase->camera.eye[2], static_cast<float>(expected[2]));
}

// A small cube off the origin shows which eye each frame used.
class MeshShowcaseEyeTest : public MeshShowcaseGlTest {
protected:
    void SetUp() override {
        MeshShowcaseGlTest::SetUp();
        files = std::make_unique<ShowcaseDirectory>(threeTimes(cubeMesh(0, 0, 15, 2)));
        showcase = std::make_unique<MeshShowcase>();
    }

    std::array<double, 2> whereSeen(float seconds, const Vec3& eye) const {
        return projectThroughCamera(turned({0, 0, 15}, seconds), eye, {0, 0, 0});
    }

    // Lit where the stored eye puts the cube, dark where this frame's own eye would.
    void expectSeenFrom(float seconds, const Vec3& storedEye) {
        const auto expected = whereSeen(seconds, storedEye);
        const auto wrong = whereSeen(seconds, ellipseEye(seconds));
        ASSERT_GT(std::hypot(expected[0] - wrong[0], expected[1] - wrong[1]), 20.0);
        drawFrame(seconds);
        const auto pixelAt = [](const std::array<double, 2>& at) {
            return readPixel(static_cast<int>(at[0]), static_cast<int>(at[1]));
        };
        EXPECT_NE(pixelAt(expected)[0], 0) << "t = " << seconds;
        EXPECT_TRUE(colourNear(pixelAt(wrong), {0, 0, 0, 0}, 0)) << "t = " << seconds;
    }
};

TEST_F(MeshShowcaseEyeTest, FirstDrawLooksFromTheConstructionEye) {
    expectSeenFrom(20.0f, {0, 0, 100});
}

TEST_F(MeshShowcaseEyeTest, ModelTurnsAQuarterTurnPerSecondAboutTheDiagonal) {
    // 21 s is 1890 degrees: a quarter turn past whole turns.
    const Vec3 eye = {0, 0, 100};
    const auto expected = projectThroughCamera(turned({0, 0, 15}, 21.0f), eye, {0, 0, 0});
    const auto unturned = projectThroughCamera({0, 0, 15}, eye, {0, 0, 0});
    const auto backwards = projectThroughCamera(turned({0, 0, 15}, -21.0f), eye, {0, 0, 0});
    for (const auto& wrong : {unturned, backwards}) {
        ASSERT_GT(std::hypot(expected[0] - wrong[0], expected[1] - wrong[1]), 20.0);
    }
    drawFrame(21.0f);
    EXPECT_NE(readPixel(static_cast<int>(expected[0]), static_cast<int>(expected[1]))[0], 0);
    for (const auto& wrong : {unturned, backwards}) {
        EXPECT_TRUE(colourNear(readPixel(static_cast<int>(wrong[0]), static_cast<int>(wrong[1])),
                               {0, 0, 0, 0}, 0));
    }
}

TEST_F(MeshShowcaseEyeTest, EachLaterFrameUsesTheEyeComputedInTheFrameBefore) {
    drawFrame(20.0f);
    expectSeenFrom(24.0f, ellipseEye(20.0f));
    expectSeenFrom(28.0f, ellipseEye(24.0f));
}

TEST_F(MeshShowcaseEyeTest, ReturnAfterAnAbsenceStartsFromTheEyeBeforeIt) {
    drawFrame(20.0f);
    expectSeenFrom(48.0f, ellipseEye(20.0f));
    expectSeenFrom(52.0f, ellipseEye(48.0f));
}

} // namespace
