#pragma once

#include "effects/blur_candidate.h"
#include "effects/feedback_blur.h"

#include <memory>
#include <string>
#include <vector>

// The feedback blur that takes a faster way only once it has proved it on this machine: on the
// first frames of a run after the first the candidate and the reference blur the same picture
// and the results are compared byte for byte. With every comparison matched and the candidate
// faster on those frames, the candidate draws from then on; the first difference leaves the
// reference drawing for good.
class VerifiedBlur : public FeedbackBlur {
public:
    static constexpr int framesToCompare = 8;

    enum class Path { checking, candidate, reference };
    struct Report {
        Path path = Path::checking;
        std::string candidateName;
        std::string reason;
        int framesCompared = 0;
        bool differenceSeen = false;
        double referenceMilliseconds = 0.0; // median over the compared frames
        double candidateMilliseconds = 0.0;
        // What the check added to the frames it ran in, the candidate's preparation included.
        double checkMilliseconds = 0.0;
    };

    // Whether a candidate that matched must also have been faster on the compared frames.
    enum class Choice { fastestIdentical, anyIdentical };

    // Without a candidate the reference always draws, for the reason given.
    VerifiedBlur(std::unique_ptr<BlurCandidate> candidate, std::string referenceReason,
                 Choice choice = Choice::fastestIdentical);

    void draw(int textureSlot, float seconds) override;
    const Report& report() const { return state; }
    // While set the reference draws, whatever was chosen: for timing one against the other.
    void forceReference(bool forced) { referenceForced = forced; }

private:
    void checkFrame(int textureSlot, float seconds);
    bool prepareCandidate();
    void compareResults(const std::vector<std::uint8_t>& fromCandidate,
                        const std::vector<std::uint8_t>& fromReference);
    void choose();
    void stayOnReference(std::string reason);

    std::unique_ptr<BlurCandidate> candidate;
    Choice choice;
    bool drawnBefore = false;
    bool prepared = false;
    bool referenceForced = false;
    std::vector<double> referenceTimes;
    std::vector<double> candidateTimes;
    Report state;
};

const char* pathName(VerifiedBlur::Path path);
