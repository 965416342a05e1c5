#include "effect_gl_fixture.h"
#include "effects/feedback_blur.h"
#include "effects/measured_blur.h"
#include "effects/processor_blur.h"
#include "effects/verified_blur.h"
#include "resources/texture_bank.h"

#include <GL/gl.h>
#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int targetSlot = 92;

// One channel of a 512x512 picture, row 0 at the bottom (t = 0).
using Plane = std::vector<double>;

Plane greyPlane(const std::vector<Rgb>& pixels) {
    Plane plane(pixels.size());
    std::transform(pixels.begin(), pixels.end(), plane.begin(),
                   [](const Rgb& pixel) { return static_cast<double>(pixel[0]); });
    return plane;
}

double texel(const Plane& plane, int s, int t) {
    const auto wrap = [](int index) { return ((index % regionSide) + regionSide) % regionSide; };
    return plane[static_cast<std::size_t>(wrap(t) * regionSide + wrap(s))];
}

// The picture as OpenGL samples it with linear filtering and repeat wrap, for a pixel of the
// region, when the quad of half width 1.334 at depth 1 carries the texture shifted by
// (shiftS, shiftT). The quad overshoots the 4:3 view, so s does not quite map texel to pixel.
double sampleShifted(const Plane& plane, int x, int y, double shiftS, double shiftT) {
    const double eyeX = ((x + 0.5) / 256.0 - 1.0) * 4.0 / 3.0;
    const double eyeY = (y + 0.5) / 256.0 - 1.0;
    const double halfWidth = static_cast<double>(1.334f);
    const double s = shiftS + (eyeX + halfWidth) / (2.0 * halfWidth);
    const double t = shiftT + (eyeY + 1.0) / 2.0;
    const double u = s * regionSide - 0.5;
    const double v = t * regionSide - 0.5;
    const int u0 = static_cast<int>(std::floor(u));
    const int v0 = static_cast<int>(std::floor(v));
    const double fu = u - u0;
    const double fv = v - v0;
    return (1 - fu) * (1 - fv) * texel(plane, u0, v0) + fu * (1 - fv) * texel(plane, u0 + 1, v0) +
           (1 - fu) * fv * texel(plane, u0, v0 + 1) + fu * fv * texel(plane, u0 + 1, v0 + 1);
}

// What the blur should leave, worked out on the CPU: each pass draws the four diagonal shifts
// (-d, +d), (+d, +d), (+d, -d), (-d, -d) with alphas 255, 127, 63, 31 into an 8-bit frame.
Plane referenceBlur(Plane picture, int passes, float spread) {
    const auto shift = static_cast<double>(static_cast<float>(spread * 0.01));
    const std::array<std::array<double, 2>, 4> shifts{
        {{-shift, shift}, {shift, shift}, {shift, -shift}, {-shift, -shift}}};
    for (int pass = 0; pass < passes; ++pass) {
        Plane frame(picture.size());
        for (int y = 0; y < regionSide; ++y) {
            for (int x = 0; x < regionSide; ++x) {
                double value = 0.0;
                for (std::size_t j = 0; j < 4; ++j) {
                    const double alpha = static_cast<double>(255 >> j) / 255.0;
                    const double source = sampleShifted(picture, x, y, shifts[j][0], shifts[j][1]);
                    value = std::round(alpha * source + (1.0 - alpha) * value);
                }
                frame[static_cast<std::size_t>(y * regionSide + x)] = value;
            }
        }
        picture = frame;
    }
    return picture;
}

double largestDifference(const Plane& actual, const Plane& expected) {
    double largest = 0.0;
    for (std::size_t i = 0; i < actual.size(); ++i) {
        largest = std::max(largest, std::abs(actual[i] - expected[i]));
    }
    return largest;
}

double meanDifference(const Plane& actual, const Plane& expected) {
    double sum = 0.0;
    for (std::size_t i = 0; i < actual.size(); ++i) {
        sum += std::abs(actual[i] - expected[i]);
    }
    return sum / static_cast<double>(actual.size());
}

Rgb greyOf(std::uint8_t level) {
    return {level, level, level};
}

class FeedbackBlurTest : public EffectGlTest {
protected:
    // The picture in slot 92, as the frame driver leaves it; the viewport then goes to 800x600.
    GLuint prepare(const TexelPattern& pattern) {
        const GLuint name = fillSlot(targetSlot, regionSide, regionSide, pattern);
        glViewport(0, 0, 800, 600);
        return name;
    }

    Plane blurred(FeedbackBlur& blur, const TexelPattern& pattern, float seconds = 1.0f) {
        const GLuint name = prepare(pattern);
        blur.draw(targetSlot, seconds);
        return greyPlane(readTexture(name, regionSide, regionSide));
    }

    static Plane planeOf(const TexelPattern& pattern) {
        Plane plane;
        for (int t = 0; t < regionSide; ++t) {
            for (int s = 0; s < regionSide; ++s) {
                plane.push_back(pattern(s, t)[0]);
            }
        }
        return plane;
    }
};

TexelPattern singleBrightTexel(int brightS, int brightT) {
    return [=](int s, int t) { return s == brightS && t == brightT ? greyOf(255) : greyOf(0); };
}

TexelPattern noise(unsigned seed) {
    auto levels = std::make_shared<std::vector<std::uint8_t>>();
    std::mt19937 generator(seed);
    for (int i = 0; i < regionSide * regionSide; ++i) {
        levels->push_back(static_cast<std::uint8_t>(generator() & 0xff));
    }
    return [levels](int s, int t) { return greyOf((*levels)[t * regionSide + s]); };
}

TEST_F(FeedbackBlurTest, ConstructionGivesFourPassesAndEqualSpreads) {
    const FeedbackBlur blur;
    EXPECT_EQ(blur.passCount, 4);
    EXPECT_EQ(blur.horizontalSpread, 0.1f);
    EXPECT_EQ(blur.verticalSpread, 0.1f);
}

TEST_F(FeedbackBlurTest, NoPassesLeaveThePictureUnblurred) {
    // Blocks of 16 texels: the quad's slight overshoot moves samples by at most 0.13 texel, so
    // only texels at a block's left or right edge may mix with their neighbour.
    const TexelPattern blocks = [](int s, int t) {
        return greyOf(static_cast<std::uint8_t>(((s / 16) * 37 + (t / 16) * 91) % 256));
    };
    FeedbackBlur blur;
    blur.passCount = 0;
    const Plane result = blurred(blur, blocks);
    const Plane original = planeOf(blocks);
    for (int t = 0; t < regionSide; ++t) {
        for (int s = 1; s < regionSide - 1; ++s) {
            if (s % 16 == 0 || s % 16 == 15) {
                continue;
            }
            const auto i = static_cast<std::size_t>(t * regionSide + s);
            ASSERT_EQ(result[i], original[i]) << "texel (" << s << ", " << t << ")";
        }
    }
    // The final copy stored the drawn square, slight overshoot at the block edges included.
    EXPECT_EQ(result, greyPlane(readRegion()));
    EXPECT_NE(result, original);
    // The same picture with the passes is blurred across every block edge, rows included.
    FeedbackBlur passes;
    const Plane softened = blurred(passes, blocks);
    EXPECT_NE(softened[16 * regionSide + 40], original[16 * regionSide + 40]);
}

TEST_F(FeedbackBlurTest, OnePassSpreadsABrightTexelOverItsDiagonalsWithFallingWeights) {
    FeedbackBlur blur;
    blur.passCount = 1;
    const Plane result = blurred(blur, singleBrightTexel(256, 256));
    const auto at = [&result](int s, int t) { return result[t * regionSide + s]; };
    // A shift of (ds, dt) in texture coordinates moves the picture by (-ds, -dt): the opaque
    // (-d, +d) copy lands right and down, then (+d, +d) left and down with alpha 127, (+d, -d)
    // left and up with 63, (-d, -d) right and up with 31.
    const double rightDown = at(257, 255);
    const double leftDown = at(255, 255);
    const double leftUp = at(255, 257);
    const double rightUp = at(257, 257);
    EXPECT_NEAR(rightDown, 22.0, 2.0);
    EXPECT_NEAR(leftDown, 22.0, 2.0);
    EXPECT_NEAR(leftUp, 14.5, 2.0);
    EXPECT_NEAR(rightUp, 8.0, 2.0);
    EXPECT_GT(leftUp, rightUp + 3.0);
    EXPECT_GT(at(256, 256), 50.0);
    // Nothing reaches two texels away.
    for (int t = 250; t <= 262; ++t) {
        for (int s = 250; s <= 262; ++s) {
            if (std::abs(s - 256) >= 2 || std::abs(t - 256) >= 2) {
                ASSERT_EQ(at(s, t), 0.0) << "texel (" << s << ", " << t << ")";
            }
        }
    }
    EXPECT_LE(
        largestDifference(result, referenceBlur(planeOf(singleBrightTexel(256, 256)), 1, 0.1f)),
        2.0);
}

TEST_F(FeedbackBlurTest, NoisyPictureMatchesTheComputedBlur) {
    FeedbackBlur blur;
    const TexelPattern picture = noise(5);
    const Plane result = blurred(blur, picture);
    const Plane expected = referenceBlur(planeOf(picture), 4, 0.1f);
    // Filter weights of eight bits leave a level or so per pass.
    EXPECT_LE(largestDifference(result, expected), 5.0);
    EXPECT_LE(meanDifference(result, expected), 1.0);
}

TEST_F(FeedbackBlurTest, BorderTexelsPickUpTheOppositeEdgeThroughTheRepeatWrap) {
    FeedbackBlur blur;
    blur.passCount = 1;
    const Plane result = blurred(blur, singleBrightTexel(0, 0));
    const auto at = [&result](int s, int t) { return result[t * regionSide + s]; };
    // The bright corner texel is seen from the far column and the far row.
    EXPECT_GT(at(511, 0), 5.0);
    EXPECT_GT(at(0, 511), 5.0);
    EXPECT_GT(at(511, 511), 0.0);
    EXPECT_LE(largestDifference(result, referenceBlur(planeOf(singleBrightTexel(0, 0)), 1, 0.1f)),
              2.0);
}

TEST_F(FeedbackBlurTest, SecondsHaveNoInfluence) {
    const TexelPattern picture = noise(11);
    FeedbackBlur blur;
    const Plane early = blurred(blur, picture, 0.0f);
    const Plane late = blurred(blur, picture, 97.25f);
    const Plane negative = blurred(blur, picture, -3.0f);
    EXPECT_EQ(early, late);
    EXPECT_EQ(early, negative);
}

TEST_F(FeedbackBlurTest, VerticalSpreadDrivesBothShifts) {
    const TexelPattern picture = noise(23);
    FeedbackBlur blur;
    blur.horizontalSpread = 0.1f;
    blur.verticalSpread = 0.3f;
    const Plane result = blurred(blur, picture);
    EXPECT_EQ(blur.horizontalSpread, 0.3f);
    const Plane expected = referenceBlur(planeOf(picture), 4, 0.3f);
    EXPECT_LE(largestDifference(result, expected), 5.0);
    EXPECT_LE(meanDifference(result, expected), 1.0);

    FeedbackBlur defaults;
    FeedbackBlur oddHorizontal;
    oddHorizontal.horizontalSpread = 7.0f;
    EXPECT_EQ(blurred(defaults, picture), blurred(oddHorizontal, picture));
}

TEST_F(FeedbackBlurTest, LeavesTheStateTheFrameDriverExpects) {
    const GLuint name = fillSlot(targetSlot, regionSide, regionSide, noise(3));
    // A white window and an odd viewport and matrix on entry: none of them may survive.
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    glViewport(10, 20, 30, 40);
    glTranslatef(0.25f, -0.5f, 3.0f);
    std::array<GLfloat, 16> before{};
    glGetFloatv(GL_MODELVIEW_MATRIX, before.data());
    glDisable(GL_TEXTURE_2D);

    FeedbackBlur blur;
    blur.draw(targetSlot, 2.0f);

    std::array<GLint, 4> viewport{};
    glGetIntegerv(GL_VIEWPORT, viewport.data());
    EXPECT_EQ(viewport, (std::array<GLint, 4>{0, 0, 800, 600}));
    std::array<GLfloat, 16> after{};
    glGetFloatv(GL_MODELVIEW_MATRIX, after.data());
    EXPECT_EQ(after, before);
    EXPECT_EQ(glIsEnabled(GL_BLEND), GL_FALSE);
    EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST), GL_TRUE);
    EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), GL_TRUE);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), name);
    GLint internalFormat = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &internalFormat);
    EXPECT_EQ(internalFormat, GL_RGB);

    // The square holds the blurred picture, the rest of the window the clear colour.
    const std::vector<Rgb> square = readRegion();
    EXPECT_EQ(greyPlane(square), greyPlane(readTexture(name, regionSide, regionSide)));
    for (const auto [x, y] :
         {std::array{512, 0}, std::array{799, 599}, std::array{0, 512}, std::array{650, 300}}) {
        EXPECT_TRUE(isBlack(regionPixel(x, y))) << x << ", " << y;
    }
}

TEST_F(FeedbackBlurTest, TheEntryMatrixDoesNotMoveThePicture) {
    const TexelPattern picture = noise(8);
    FeedbackBlur blur;
    const Plane plain = blurred(blur, picture);
    glRotatef(30.0f, 0.0f, 0.0f, 1.0f);
    glTranslatef(0.0f, 0.0f, -5.0f);
    EXPECT_EQ(blurred(blur, picture), plain);
}

TexelPattern colourNoise(unsigned seed) {
    auto texels = std::make_shared<std::vector<Rgb>>();
    std::mt19937 generator(seed);
    for (int i = 0; i < regionSide * regionSide; ++i) {
        const std::uint32_t bits = generator();
        texels->push_back({static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
                           static_cast<std::uint8_t>(bits >> 16)});
    }
    return
        [texels](int s, int t) { return (*texels)[static_cast<std::size_t>(t * regionSide + s)]; };
}

// The processor blur with one texel set to (1, 2, 3) from one call on, in that call alone or in
// every later one too: a stand-in for a driver that rounds differently.
class WrongBlur final : public BlurCandidate {
public:
    WrongBlur(int firstWrongCall, bool staysWrong)
        : firstWrongCall(firstWrongCall), staysWrong(staysWrong) {}
    const char* name() const override { return "wrong"; }
    bool prepare(const FeedbackBlur& settings) override { return blur.prepare(settings); }
    bool draw(int textureSlot, const FeedbackBlur& settings) override {
        if (!blur.draw(textureSlot, settings)) {
            return false;
        }
        ++calls;
        if (calls == firstWrongCall || (staysWrong && calls > firstWrongCall)) {
            const std::array<std::uint8_t, 3> texel = {1, 2, 3};
            glTexSubImage2D(GL_TEXTURE_2D, 0, 100, 200, 1, 1, GL_RGB, GL_UNSIGNED_BYTE,
                            texel.data());
        }
        return true;
    }
    int calls = 0;

private:
    ProcessorBlur blur;
    int firstWrongCall;
    bool staysWrong;
};

class FasterBlurTest : public FeedbackBlurTest {
protected:
    // The reference's result for a picture: what every other path must give.
    std::vector<Rgb> referenceResult(const TexelPattern& picture) {
        FeedbackBlur reference;
        const GLuint name = prepare(picture);
        reference.draw(targetSlot, 1.0f);
        return readTexture(name, regionSide, regionSide);
    }

    std::vector<Rgb> resultOf(FeedbackBlur& blur, const TexelPattern& picture) {
        const GLuint name = prepare(picture);
        blur.draw(targetSlot, 1.0f);
        return readTexture(name, regionSide, regionSide);
    }
};

// Both arithmetics: the wide one where the processor has it, and the plain one it falls back to.
TEST_F(FasterBlurTest, ProcessorBlurGivesTheReferencesBytesAndState) {
    FeedbackBlur settings;
    for (const auto arithmetic :
         {ProcessorBlur::Arithmetic::widest, ProcessorBlur::Arithmetic::plain}) {
        ProcessorBlur blur(arithmetic);
        ASSERT_TRUE(blur.prepare(settings));
        for (const unsigned seed : {1u, 2u}) {
            const TexelPattern picture = colourNoise(seed);
            const std::vector<Rgb> expected = referenceResult(picture);
            const GLuint name = prepare(picture);
            glViewport(10, 20, 30, 40);
            glEnable(GL_BLEND);
            glDisable(GL_DEPTH_TEST);
            ASSERT_TRUE(blur.draw(targetSlot, settings));
            ASSERT_TRUE(readTexture(name, regionSide, regionSide) == expected)
                << "picture " << seed
                << (arithmetic == ProcessorBlur::Arithmetic::plain ? ", plain" : ", widest");
        }
    }
    std::array<GLint, 4> viewport{};
    glGetIntegerv(GL_VIEWPORT, viewport.data());
    EXPECT_EQ(viewport, (std::array<GLint, 4>{0, 0, 800, 600}));
    EXPECT_EQ(glIsEnabled(GL_BLEND), GL_FALSE);
    EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST), GL_TRUE);
    EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), GL_TRUE);
    GLint internalFormat = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &internalFormat);
    EXPECT_EQ(internalFormat, GL_RGB);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(FasterBlurTest, ProcessorBlurLeavesPicturesItWasNotMeasuredFor) {
    FeedbackBlur settings;
    ProcessorBlur blur;
    ASSERT_TRUE(blur.prepare(settings));
    const TexelPattern picture = colourNoise(4);
    // A texture that still has alpha, as the render target has before its first blur.
    const GLuint name = prepare(picture);
    const std::vector<Rgb> before = readTexture(name, regionSide, regionSide);
    glBindTexture(GL_TEXTURE_2D, name);
    glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 0, 0, regionSide, regionSide, 0);
    const std::vector<Rgb> withAlpha = readTexture(name, regionSide, regionSide);
    EXPECT_FALSE(blur.draw(targetSlot, settings));
    EXPECT_TRUE(readTexture(name, regionSide, regionSide) == withAlpha);
    // Other spreads, or another projection, than the map was measured for.
    const GLuint untouched = prepare(picture);
    FeedbackBlur wider;
    wider.verticalSpread = 0.3f;
    EXPECT_FALSE(blur.draw(targetSlot, wider));
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glScalef(1.01f, 1.0f, 1.0f);
    glMatrixMode(GL_MODELVIEW);
    EXPECT_FALSE(blur.draw(targetSlot, settings));
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    EXPECT_TRUE(readTexture(untouched, regionSide, regionSide) == before);
}

TEST_F(FasterBlurTest, VerifiedBlurDecidesAfterComparingAndAlwaysGivesTheReferencesPicture) {
    VerifiedBlur blur(std::make_unique<ProcessorBlur>(), "");
    EXPECT_EQ(blur.report().path, VerifiedBlur::Path::checking);
    for (unsigned frame = 0; frame < VerifiedBlur::framesToCompare + 3; ++frame) {
        const TexelPattern picture = colourNoise(10 + frame);
        const std::vector<Rgb> expected = referenceResult(picture);
        ASSERT_TRUE(resultOf(blur, picture) == expected) << "frame " << frame;
    }
    const VerifiedBlur::Report& report = blur.report();
    EXPECT_EQ(report.framesCompared, VerifiedBlur::framesToCompare);
    EXPECT_FALSE(report.differenceSeen);
    // Which path is faster depends on the machine; that it decided, and why, does not.
    EXPECT_NE(report.path, VerifiedBlur::Path::checking);
    EXPECT_NE(report.reason.find("identical in all 8 frames compared"), std::string::npos)
        << report.reason;
    EXPECT_GT(report.checkMilliseconds, 0.0);
}

TEST_F(FasterBlurTest, OneDifferingByteKeepsTheReferenceForGood) {
    auto candidate = std::make_unique<WrongBlur>(3, false);
    WrongBlur& wrong = *candidate;
    VerifiedBlur blur(std::move(candidate), "");
    for (unsigned frame = 0; frame < VerifiedBlur::framesToCompare + 3; ++frame) {
        const TexelPattern picture = colourNoise(30 + frame);
        const std::vector<Rgb> expected = referenceResult(picture);
        ASSERT_TRUE(resultOf(blur, picture) == expected) << "frame " << frame;
    }
    const VerifiedBlur::Report& report = blur.report();
    EXPECT_EQ(report.path, VerifiedBlur::Path::reference);
    EXPECT_TRUE(report.differenceSeen);
    EXPECT_EQ(report.framesCompared, 3);
    EXPECT_NE(report.reason.find("differed from the reference in 3 bytes of compared frame 3"),
              std::string::npos)
        << report.reason;
    // Never asked again after the difference.
    EXPECT_EQ(wrong.calls, 3);
}

// Processor blurs stand in for both candidates: exact on Mesa, and one byte off from the first
// call on. Every checked frame keeps the window path's picture; then the exact way is the
// reference and the fast one draws only where it was faster.
TEST_F(FasterBlurTest, MeasuredBlurComparesBothWaysWithTheWindowPathAndKeepsItsPicture) {
    MeasuredBlur blur(std::make_unique<ProcessorBlur>(), std::make_unique<WrongBlur>(1, true));
    // The first call and the one that prepares, then the compared ones.
    for (unsigned frame = 0; frame < MeasuredBlur::framesToCompare + 2; ++frame) {
        const TexelPattern picture = colourNoise(60 + frame);
        const std::vector<Rgb> expected = referenceResult(picture);
        ASSERT_TRUE(resultOf(blur, picture) == expected) << "frame " << frame;
    }
    const MeasuredBlur::Report& report = blur.report();
    EXPECT_EQ(report.framesChecked, MeasuredBlur::framesToCompare);
    EXPECT_EQ(report.exact.framesIdentical, MeasuredBlur::framesToCompare);
    EXPECT_EQ(report.exact.differingBytes, 0u);
    EXPECT_EQ(report.fast.framesCompared, MeasuredBlur::framesToCompare);
    EXPECT_EQ(report.fast.framesIdentical, 0);
    // The wrong texel's three colour bytes, unless the noise had one of them already.
    EXPECT_GE(report.fast.differingBytes, 2u * MeasuredBlur::framesToCompare);
    EXPECT_LE(report.fast.differingBytes, 3u * MeasuredBlur::framesToCompare);
    EXPECT_GT(report.fast.largestDifference, 0);
    const bool fastWon = report.fast.milliseconds < report.exact.milliseconds;
    EXPECT_EQ(report.path, fastWon ? MeasuredBlur::Path::fast : MeasuredBlur::Path::exact)
        << report.reason;
    const TexelPattern picture = colourNoise(70);
    const std::vector<Rgb> expected = referenceResult(picture);
    EXPECT_EQ(resultOf(blur, picture) == expected, !fastWon) << report.reason;
}

TEST_F(FasterBlurTest, MeasuredBlurKeepsTheWindowPathWhenTheExactWayDiffers) {
    auto candidate = std::make_unique<WrongBlur>(2, false);
    WrongBlur& wrong = *candidate;
    MeasuredBlur blur(std::move(candidate), nullptr);
    for (unsigned frame = 0; frame < MeasuredBlur::framesToCompare + 3; ++frame) {
        const TexelPattern picture = colourNoise(80 + frame);
        const std::vector<Rgb> expected = referenceResult(picture);
        ASSERT_TRUE(resultOf(blur, picture) == expected) << "frame " << frame;
    }
    const MeasuredBlur::Report& report = blur.report();
    EXPECT_EQ(report.path, MeasuredBlur::Path::window);
    EXPECT_FALSE(report.exact.available);
    EXPECT_EQ(report.framesChecked, 2);
    EXPECT_NE(report.reason.find("the wrong blur differed from the window path in "),
              std::string::npos)
        << report.reason;
    EXPECT_NE(report.reason.find(" bytes of compared frame 2"), std::string::npos) << report.reason;
    EXPECT_EQ(wrong.calls, 2);
}

TEST_F(FasterBlurTest, ForcedReferenceNeverAsksACandidate) {
    VerifiedBlur blur(nullptr, "LUMIVAHA_BLUR=reference");
    EXPECT_EQ(blur.report().path, VerifiedBlur::Path::reference);
    const TexelPattern picture = colourNoise(50);
    const std::vector<Rgb> expected = referenceResult(picture);
    EXPECT_TRUE(resultOf(blur, picture) == expected);
    EXPECT_EQ(blur.report().framesCompared, 0);
}

} // namespace
