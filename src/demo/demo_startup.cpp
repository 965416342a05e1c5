#include "demo/demo_startup.h"

#include "core/base_colour.h"
#include "core/demo_clock.h"
#include "core/random.h"
#include "demo/bar_layout.h"
#include "demo/blur_choice.h"
#include "demo/demo_state.h"
#include "demo/frame_driver.h"
#include "effects/mesh_showcase.h"
#include "effects/picture_strips.h"
#include "effects/pulse_backdrop.h"
#include "effects/spiral_backdrop.h"
#include "effects/streak_backdrop.h"
#include "effects/title_cards.h"
#include "effects/verified_blur.h"
#include "effects/voxel_growth.h"
#include "effects/water_ripple.h"
#include "platform/data_directory.h"
#include "platform/fatal_exit.h"
#include "platform/sound_system.h"
#include "platform/timer.h"
#include "resources/texture_bank.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <limits>
#include <string>
#include <utility>

namespace {

bool blurHasDiffered(const FeedbackBlur* blur) {
    const auto* verified = dynamic_cast<const VerifiedBlur*>(blur);
    return verified != nullptr && verified->report().differenceSeen;
}

// Constructed in this order: their constructors draw from the shared generator.
void constructEffects(DemoState& state, bool blurDifferedBefore) {
    state.feedbackBlur = makeFeedbackBlur(blurDifferedBefore);
    state.waterRipple = std::make_unique<WaterRipple>();
    state.foregroundEffects[0] = std::make_unique<VoxelGrowth>();
    state.foregroundEffects[1] = std::make_unique<PictureStrips>();
    state.foregroundEffects[2] = std::make_unique<MeshShowcase>();
    state.foregroundEffects[3] = std::make_unique<TitleCards>();
    state.backgroundEffects[0] = std::make_unique<SpiralBackdrop>();
    state.backgroundEffects[1] = std::make_unique<StreakBackdrop>();
    state.backgroundEffects[2] = std::make_unique<PulseBackdrop>();
}

void openMusic(DemoState& state) {
    platform::SoundSystem& sound = platform::soundSystem();
    sound.initialise(44100, 16, 0);
    for (int loop = 0; loop < loopCount; ++loop) {
        state.loopStreams[loop] = sound.openStream(platform::dataFilePath(loopFiles[loop]).c_str());
    }
}

// The schedule moves on once a loop's position passes its end mark; a loop that ends sooner would
// hold its scene, silent, for the rest of the run. Checked after the pictures have loaded, so the
// loops go on decoding meanwhile.
void refuseShortLoops(const DemoState& state) {
    platform::SoundSystem& sound = platform::soundSystem();
    for (int loop = 0; loop < loopCount; ++loop) {
        platform::SoundStream* stream = state.loopStreams[loop];
        // A position set past the end reads back as the length.
        sound.setStreamPosition(stream, std::numeric_limits<std::uint32_t>::max());
        const std::int32_t length = sound.streamPosition(stream);
        sound.setStreamPosition(stream, 0);
        if (length <= loopEndMilliseconds) {
            platform::fatalExit(1, "Cannot play " + platform::dataFilePath(loopFiles[loop]) +
                                       ": the loop lasts " + std::to_string(length) +
                                       " ms, and the demo plays more than " +
                                       std::to_string(loopEndMilliseconds) + " ms of it\n");
        }
    }
}

void setStartupProjection(const DemoWindow& window) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(90.0, static_cast<double>(window.width) / static_cast<double>(window.height),
                   0.1, 2000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

} // namespace

void pickFirstBaseColour() {
    const float blue = drawColourComponent();
    const float green = drawColourComponent();
    const float red = drawColourComponent();
    glColor3f(red, green, blue);
    GLfloat current[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, current);
    baseColour = {current[0], current[1], current[2]};
    if (!isBrightEnough(baseColour)) {
        baseColour = pickBaseColour();
    }
    glColor3f(baseColour.red, baseColour.green, baseColour.blue);
}

void startDemo(DemoWindow& window, KeyState& keys) {
    seedRandom(platform::currentMilliseconds());
    // The new cycle's state starts at the opening; the last cycle's lives on a little longer.
    std::unique_ptr<DemoState> previous =
        std::exchange(demoState, std::make_unique<DemoState>(window, keys));
    demoClock.stop();
    pickFirstBaseColour();
    const bool blurDifferedBefore =
        previous != nullptr && blurHasDiffered(previous->feedbackBlur.get());
    // A restart must not keep the last run's objects alive beside the new ones.
    previous.reset();
    constructEffects(*demoState, blurDifferedBefore);
    openMusic(*demoState);
    barLayout.generate();
    glViewport(0, 0, window.width, window.height);
    loadTextureBank();
    refuseShortLoops(*demoState);
    setStartupProjection(window);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glShadeModel(GL_SMOOTH);
    demoClock.start();
    platform::soundSystem().playStream(musicChannel,
                                       demoState->loopStreams[demoState->currentLoop]);
    demoClock.restart();
}
