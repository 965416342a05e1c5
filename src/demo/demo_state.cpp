#include "demo/demo_state.h"

#include "effects/feedback_blur.h"
#include "effects/water_ripple.h"

std::unique_ptr<DemoState> demoState;

DemoState::DemoState(DemoWindow& window, KeyState& keys) : demoWindow(&window), keyState(&keys) {}

DemoState::~DemoState() {
    for (auto& effect : foregroundEffects) {
        effect.reset();
    }
    for (auto& effect : backgroundEffects) {
        effect.reset();
    }
    waterRipple.reset();
    feedbackBlur.reset();
}
