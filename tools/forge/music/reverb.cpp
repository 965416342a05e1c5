#include "forge/music/reverb.h"

#include <array>
#include <vector>

namespace forge {

namespace {

class Comb {
public:
    explicit Comb(std::size_t length) : line(length) {}
    float process(float input, float feedback, float damping) {
        float output = line[cursor];
        filtered = output * (1.0f - damping) + filtered * damping;
        line[cursor] = input + filtered * feedback;
        cursor = (cursor + 1) % line.size();
        return output;
    }

private:
    std::vector<float> line;
    std::size_t cursor = 0;
    float filtered = 0.0f;
};

class AllPass {
public:
    explicit AllPass(std::size_t length) : line(length) {}
    float process(float input) {
        float delayed = line[cursor];
        float output = delayed - input;
        line[cursor] = input + delayed * 0.5f;
        cursor = (cursor + 1) % line.size();
        return output;
    }

private:
    std::vector<float> line;
    std::size_t cursor = 0;
};

// Mutually prime lengths in samples at 44.1 kHz; the right channel is spread by 23 samples.
constexpr std::array<std::size_t, 6> combLengths = {1116, 1188, 1277, 1356, 1422, 1491};
constexpr std::array<std::size_t, 3> allPassLengths = {556, 441, 341};
constexpr std::size_t stereoSpread = 23;

void reverberate(const std::vector<float>& input, std::vector<float>& output, std::size_t spread,
                 float roomSize, float damping) {
    std::vector<Comb> combs;
    for (std::size_t length : combLengths) {
        combs.emplace_back(length + spread);
    }
    std::vector<AllPass> allPasses;
    for (std::size_t length : allPassLengths) {
        allPasses.emplace_back(length + spread);
    }
    for (std::size_t i = 0; i < input.size() && i < output.size(); ++i) {
        float sum = 0.0f;
        for (Comb& comb : combs) {
            sum += comb.process(input[i] * 0.1f, roomSize, damping);
        }
        for (AllPass& allPass : allPasses) {
            sum = allPass.process(sum);
        }
        output[i] += sum;
    }
}

} // namespace

void applyReverb(const StereoBuffer& input, StereoBuffer& output, float roomSize, float damping) {
    reverberate(input.left, output.left, 0, roomSize, damping);
    reverberate(input.right, output.right, stereoSpread, roomSize, damping);
}

} // namespace forge
