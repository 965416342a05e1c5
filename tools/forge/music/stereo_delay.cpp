#include "forge/music/stereo_delay.h"

#include "forge/music/beat_clock.h"
#include "forge/music/resonant_filter.h"

#include <vector>

namespace forge {

void applyPingPongDelay(const StereoBuffer& input, StereoBuffer& output, double delayBeats,
                        float feedback, float dampingHz) {
    auto delay = static_cast<std::size_t>(beat::frameOf(delayBeats));
    std::vector<float> leftLine(delay);
    std::vector<float> rightLine(delay);
    ResonantFilter leftDamping;
    ResonantFilter rightDamping;
    leftDamping.setCutoff(dampingHz, 0.0f);
    rightDamping.setCutoff(dampingHz, 0.0f);
    std::size_t cursor = 0;
    for (std::int64_t i = 0; i < input.frames() && i < output.frames(); ++i) {
        auto frame = static_cast<std::size_t>(i);
        float leftEcho = leftLine[cursor];
        float rightEcho = rightLine[cursor];
        // The mono input enters on the left; the repeats swap sides.
        float mono = (input.left[frame] + input.right[frame]) * 0.5f;
        leftLine[cursor] = leftDamping.lowPass(mono + rightEcho * feedback);
        rightLine[cursor] = rightDamping.lowPass(leftEcho * feedback);
        output.left[frame] += leftEcho;
        output.right[frame] += rightEcho;
        cursor = (cursor + 1) % delay;
    }
}

} // namespace forge
