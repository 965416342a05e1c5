#pragma once

#include "effects/blur_candidate.h"
#include "effects/feedback_blur.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The feedback blur where no one way of blending is the reference, as in a browser: the window
// path (the blended quads copied back, as FeedbackBlur draws them) is today's picture, an exact
// candidate must give its bytes in every frame compared to become the reference, and a fast
// candidate may differ and is taken when it is faster than the reference. The candidates prepare
// in the second frame of a run; on the frames after it each way blurs the same picture, the
// window path's result is kept and the others are compared with it byte for byte, and timed.
class MeasuredBlur : public FeedbackBlur {
public:
    static constexpr int framesToCompare = 8;

    enum class Path { checking, window, exact, fast };
    // One candidate's check.
    struct Trial {
        std::string name;
        // Prepared and still in the running; an exact candidate leaves at its first difference.
        bool available = false;
        std::string finding;
        int framesCompared = 0;
        int framesIdentical = 0;
        // Over all frames compared, the colour and alpha bytes that differed, and by how much
        // at most.
        std::size_t differingBytes = 0;
        int largestDifference = 0;
        double milliseconds = 0.0; // median over the frames compared
        double prepareMilliseconds = 0.0;
        std::vector<double> times;
    };
    struct Report {
        Path path = Path::checking;
        std::string reason;
        int framesChecked = 0;
        Trial exact;
        Trial fast;
        double windowMilliseconds = 0.0; // median over the frames checked
        // What the check added to the frames it ran in, the candidates' preparation included.
        double checkMilliseconds = 0.0;
    };

    // Without a fast candidate, the exact one is the only one tried.
    MeasuredBlur(std::unique_ptr<BlurCandidate> exact, std::unique_ptr<BlurCandidate> fast);

    void draw(int textureSlot, float seconds) override;
    const Report& report() const { return state; }

private:
    struct Candidate {
        std::unique_ptr<BlurCandidate> blur;
        Trial& trial;
    };

    void checkFrame(int textureSlot, float seconds);
    void prepareCandidates(int textureSlot, float seconds);
    bool tryCandidate(Candidate& candidate, int textureSlot,
                      const std::vector<std::uint8_t>& picture, std::vector<std::uint8_t>& result);
    void compare(Candidate& candidate, const std::vector<std::uint8_t>& result,
                 const std::vector<std::uint8_t>& fromWindow);
    void choose();
    void takeMedians();
    std::string referenceReason(bool exactHolds) const;
    void drawChosen(int textureSlot, float seconds);

    Report state;
    Candidate exact;
    Candidate fast;
    bool drawnBefore = false;
    bool prepared = false;
    std::vector<double> windowTimes;
};

const char* pathName(MeasuredBlur::Path path);
