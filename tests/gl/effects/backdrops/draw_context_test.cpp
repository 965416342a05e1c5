#include "effect_gl_fixture.h"
#include "effects/pulse_backdrop.h"
#include "effects/spiral_backdrop.h"
#include "effects/streak_backdrop.h"
#include "effects/title_cards.h"
#include "resources/texture_bank.h"

#include <GL/gl.h>
#include <array>
#include <memory>

namespace {

struct EffectCase {
    const char* name;
    std::unique_ptr<Effect> (*make)();
    int slot;
    bool isBackdrop;
};

template <typename EffectType> std::unique_ptr<Effect> make() {
    return std::make_unique<EffectType>();
}

class DrawContextTest : public EffectGlTest, public testing::WithParamInterface<EffectCase> {
protected:
    void SetUp() override {
        EffectGlTest::SetUp();
        for (int slot : {10, 11, 12, 30, 31, 32}) {
            fillSlot(slot, 16, 16, [slot](int s, int t) {
                return solid(static_cast<std::uint8_t>(s * 16), static_cast<std::uint8_t>(t * 16),
                             static_cast<std::uint8_t>(slot * 5));
            });
        }
    }
};

using Matrix = std::array<GLfloat, 16>;

Matrix modelview() {
    Matrix matrix{};
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix.data());
    return matrix;
}

constexpr Matrix identity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

TEST_P(DrawContextTest, LeavesWhatTheNextDrawerMayRelyOn) {
    const std::unique_ptr<Effect> effect = GetParam().make();
    const BaseColour colour{0.9f, 0.6f, 0.3f};
    enterDrawContext(colour);
    effect->draw(3.25f);

    EXPECT_EQ(modelview(), identity);
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_EQ(glIsEnabled(GL_BLEND), GL_FALSE);
    EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST), GL_TRUE);
    EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), GL_TRUE);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), textureBank[static_cast<std::size_t>(GetParam().slot)]);
    std::array<GLfloat, 4> current{};
    glGetFloatv(GL_CURRENT_COLOR, current.data());
    EXPECT_EQ(current, (std::array<GLfloat, 4>{colour.red, colour.green, colour.blue, 1.0f}));
    if (GetParam().isBackdrop) {
        // The voxel cubes are drawn with the last texture coordinate a backdrop issued.
        std::array<GLfloat, 4> coordinate{};
        glGetFloatv(GL_CURRENT_TEXTURE_COORDS, coordinate.data());
        EXPECT_EQ(coordinate, (std::array<GLfloat, 4>{1.0f, 0.0f, 0.0f, 1.0f}));
    }
}

TEST_P(DrawContextTest, MatrixFoundOnEntryDoesNotMoveThePicture) {
    const std::unique_ptr<Effect> effect = GetParam().make();
    enterDrawContext({1.0f, 1.0f, 1.0f});
    effect->draw(9.5f);
    const std::vector<Rgb> plain = readRegion();
    EXPECT_NE(std::count_if(plain.begin(), plain.end(), isBlack),
              static_cast<std::ptrdiff_t>(plain.size()))
        << "the effect drew nothing";

    enterDrawContext({1.0f, 1.0f, 1.0f});
    glRotatef(70.0f, 1.0f, 0.0f, 0.0f);
    glTranslatef(300.0f, 20.0f, 500.0f);
    effect->draw(9.5f);
    EXPECT_EQ(readRegion(), plain);
    EXPECT_EQ(modelview(), identity);
}

INSTANTIATE_TEST_SUITE_P(Effects, DrawContextTest,
                         testing::Values(EffectCase{"spiral", make<SpiralBackdrop>, 11, true},
                                         EffectCase{"streaks", make<StreakBackdrop>, 12, true},
                                         EffectCase{"pulse", make<PulseBackdrop>, 10, true},
                                         EffectCase{"titleCards", make<TitleCards>, 30, false}),
                         [](const testing::TestParamInfo<EffectCase>& info) {
                             return info.param.name;
                         });

} // namespace
