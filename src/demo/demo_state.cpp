#include "demo/demo_state.h"

#include "effects/feedback_blur.h"
#include "effects/water_ripple.h"

DemoWindow* demoWindow = nullptr;
KeyState* keyState = nullptr;
std::array<std::unique_ptr<Effect>, backdropCount> backgroundEffects;
std::array<std::unique_ptr<Effect>, foregroundCount> foregroundEffects;
int backdropIndex = 1;
int foregroundIndex = 3;
std::unique_ptr<FeedbackBlur> feedbackBlur;
std::unique_ptr<WaterRipple> waterRipple;
std::array<platform::SoundStream*, loopCount> loopStreams{};
int currentLoop = 4;

void releaseDemoObjects() {
    for (auto& effect : foregroundEffects) {
        effect.reset();
    }
    for (auto& effect : backgroundEffects) {
        effect.reset();
    }
    waterRipple.reset();
    feedbackBlur.reset();
}
