#include "kick_detector.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double sampleRate = 44100.0;
// The pad, bass and hats under a kick reach up to 0.55 of its peak in the full band, so half the
// peak can be met well before the kick starts; its first swing passes 0.7 within about 3 ms.
constexpr double onsetShare = 0.7;

// A second-order Butterworth low-pass (the audio cookbook's biquad).
std::vector<double> lowPass(const std::vector<double>& input, double cutoff) {
    const double w0 = 2.0 * M_PI * cutoff / sampleRate;
    const double alpha = std::sin(w0) / (2.0 * std::sqrt(0.5));
    const double c = std::cos(w0);
    const double a0 = 1.0 + alpha;
    const double b0 = (1.0 - c) / 2.0 / a0;
    const double b1 = (1.0 - c) / a0;
    const double a1 = -2.0 * c / a0;
    const double a2 = (1.0 - alpha) / a0;
    std::vector<double> output(input.size());
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    for (std::size_t i = 0; i < input.size(); ++i) {
        double y = b0 * input[i] + b1 * x1 + b0 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = input[i];
        y2 = y1;
        y1 = y;
        output[i] = y;
    }
    return output;
}

} // namespace

std::vector<std::int64_t> findKickOnsets(const std::vector<std::int16_t>& interleaved,
                                         std::int64_t frameLimit) {
    auto frames =
        std::min<std::int64_t>(frameLimit, static_cast<std::int64_t>(interleaved.size() / 2));
    std::vector<double> mono(static_cast<std::size_t>(frames));
    for (std::size_t i = 0; i < mono.size(); ++i) {
        mono[i] = (interleaved[2 * i] + interleaved[2 * i + 1]) / 65536.0;
    }
    std::vector<double> sub = lowPass(lowPass(mono, 70.0), 70.0);
    std::vector<double> envelope(sub.size());
    const double release = std::exp(-1.0 / (0.02 * sampleRate));
    double level = 0.0;
    for (std::size_t i = 0; i < sub.size(); ++i) {
        level = std::max(std::fabs(sub[i]), level * release);
        envelope[i] = level;
    }
    const double threshold = 0.25 * *std::max_element(envelope.begin(), envelope.end());
    const auto lookBack = static_cast<std::size_t>(0.03 * sampleRate);
    const auto refractory = static_cast<std::int64_t>(0.2 * sampleRate);
    const auto window = static_cast<std::size_t>(0.05 * sampleRate);
    std::vector<std::int64_t> onsets;
    std::int64_t last = -refractory;
    for (std::size_t i = 1; i < envelope.size(); ++i) {
        double before = i >= lookBack ? envelope[i - lookBack] : 0.0;
        bool rising =
            envelope[i] >= threshold && envelope[i - 1] < threshold && before < 0.5 * threshold;
        if (!rising || static_cast<std::int64_t>(i) - last < refractory) {
            continue;
        }
        last = static_cast<std::int64_t>(i);
        std::size_t start = i > window ? i - window : 0;
        double peak = 0.0;
        for (std::size_t j = start; j <= i; ++j) {
            peak = std::max(peak, std::fabs(mono[j]));
        }
        std::size_t onset = start;
        while (onset < i && std::fabs(mono[onset]) < onsetShare * peak) {
            ++onset;
        }
        onsets.push_back(static_cast<std::int64_t>(onset));
    }
    return onsets;
}
