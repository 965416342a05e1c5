#pragma once

#include "effects/effect.h"
#include "resources/data_manifest.h"
#include "shell/demo_window.h"

#include <array>
#include <memory>

class FeedbackBlur;
class WaterRipple;

namespace platform {
class SoundStream;
}

inline constexpr int backdropCount = 3;
inline constexpr int foregroundCount = 4;
inline constexpr int loopCount = static_cast<int>(loopFiles.size());
inline constexpr int musicChannel = 0;

// Every cycle opens with StreakBackdrop behind TitleCards, to the last loop.
inline constexpr int openingBackdrop = 1;
inline constexpr int openingForeground = 3;
inline constexpr int openingLoop = loopCount - 1;
// What a loop boundary picks from: every backdrop, but neither the opening's foreground nor its
// loop, which come back only with the next cycle.
inline constexpr int laterForegroundCount = openingForeground;
inline constexpr int laterLoopCount = openingLoop;

// What one cycle of the demo owns: made by the start-up, worked on by the frame driver and
// released by the next start-up.
struct DemoState {
    DemoState(DemoWindow& window, KeyState& keys);
    // Releases the foregrounds, the backdrops, the water surface and the blur, in this order.
    ~DemoState();
    DemoState(const DemoState&) = delete;
    DemoState& operator=(const DemoState&) = delete;

    DemoWindow* demoWindow;
    KeyState* keyState;
    // SpiralBackdrop, StreakBackdrop, PulseBackdrop.
    std::array<std::unique_ptr<Effect>, backdropCount> backgroundEffects;
    // VoxelGrowth, PictureStrips, MeshShowcase, TitleCards.
    std::array<std::unique_ptr<Effect>, foregroundCount> foregroundEffects;
    int backdropIndex = openingBackdrop;
    int foregroundIndex = openingForeground;
    std::unique_ptr<FeedbackBlur> feedbackBlur;
    // Made at every start-up and never drawn.
    std::unique_ptr<WaterRipple> waterRipple;
    // The loops of the data manifest, in its order; owned by the sound system.
    std::array<platform::SoundStream*, loopCount> loopStreams{};
    int currentLoop = openingLoop;
};

// The running cycle's state: none before the first start-up.
extern std::unique_ptr<DemoState> demoState;
