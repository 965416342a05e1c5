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

// The state of one run of the demo: made by the start-up, worked on by the frame driver.
// A new start-up releases the previous run's objects before it makes its own.
extern DemoWindow* demoWindow;
extern KeyState* keyState;

inline constexpr int backdropCount = 3;
inline constexpr int foregroundCount = 4;
inline constexpr int loopCount = static_cast<int>(loopFiles.size());
inline constexpr int musicChannel = 0;

// SpiralBackdrop, StreakBackdrop, PulseBackdrop.
extern std::array<std::unique_ptr<Effect>, backdropCount> backgroundEffects;
// VoxelGrowth, PictureStrips, MeshShowcase, TitleCards.
extern std::array<std::unique_ptr<Effect>, foregroundCount> foregroundEffects;
extern int backdropIndex;
extern int foregroundIndex;

extern std::unique_ptr<FeedbackBlur> feedbackBlur;
// Made at every start-up and never drawn.
extern std::unique_ptr<WaterRipple> waterRipple;

// "data/loop1.mp3" to "data/loop5.mp3"; owned by the sound system.
extern std::array<platform::SoundStream*, loopCount> loopStreams;
extern int currentLoop;

// Releases the effects, the blur and the water surface of the last run.
void releaseDemoObjects();
