#include "effects/verified_blur.h"

#include "effects/blur_check.h"
#include "resources/texture_bank.h"

#include <GL/gl.h>
#include <cstdint>
#include <utility>

using namespace blur_check;

const char* pathName(VerifiedBlur::Path path) {
    switch (path) {
    case VerifiedBlur::Path::checking:
        return "checking";
    case VerifiedBlur::Path::candidate:
        return "candidate";
    case VerifiedBlur::Path::reference:
        break;
    }
    return "reference";
}

VerifiedBlur::VerifiedBlur(std::unique_ptr<BlurCandidate> candidate, std::string referenceReason,
                           Choice choice)
    : candidate(std::move(candidate)), choice(choice) {
    if (this->candidate) {
        state.candidateName = this->candidate->name();
    } else {
        stayOnReference(std::move(referenceReason));
    }
}

void VerifiedBlur::draw(int textureSlot, float seconds) {
    const bool firstCall = !drawnBefore;
    drawnBefore = true;
    // The first call draws the reference alone: it ends the start-up, and the render target's
    // first picture still carries the alpha that no candidate takes.
    if (firstCall || referenceForced || state.path == Path::reference) {
        FeedbackBlur::draw(textureSlot, seconds);
        return;
    }
    if (state.path == Path::checking) {
        checkFrame(textureSlot, seconds);
        return;
    }
    horizontalSpread = verticalSpread;
    if (!candidate->draw(textureSlot, *this)) {
        FeedbackBlur::draw(textureSlot, seconds);
    }
}

// Both ways from the same picture; the reference's result is the one kept.
void VerifiedBlur::checkFrame(int textureSlot, float seconds) {
    const Clock::time_point began = finishedNow();
    if (!prepareCandidate()) {
        FeedbackBlur::draw(textureSlot, seconds);
        return;
    }
    horizontalSpread = verticalSpread;
    glBindTexture(GL_TEXTURE_2D, textureBank[static_cast<std::size_t>(textureSlot)]);
    const std::vector<std::uint8_t> picture = readBoundTexture();
    const Clock::time_point candidateBegan = finishedNow();
    if (!candidate->draw(textureSlot, *this)) {
        // Not a picture it takes: no comparison.
        FeedbackBlur::draw(textureSlot, seconds);
        state.checkMilliseconds += finishedMillisecondsSince(began);
        return;
    }
    const double candidateTime = finishedMillisecondsSince(candidateBegan);
    const std::vector<std::uint8_t> fromCandidate = readBoundTexture();
    writeBoundTexture(picture);
    const Clock::time_point referenceBegan = finishedNow();
    FeedbackBlur::draw(textureSlot, seconds);
    const double referenceTime = finishedMillisecondsSince(referenceBegan);
    compareResults(fromCandidate, readBoundTexture());
    candidateTimes.push_back(candidateTime);
    referenceTimes.push_back(referenceTime);
    state.checkMilliseconds += finishedMillisecondsSince(began) - referenceTime;
    if (state.path == Path::checking && state.framesCompared == framesToCompare) {
        choose();
    }
}

bool VerifiedBlur::prepareCandidate() {
    if (!prepared) {
        prepared = true;
        if (!candidate->prepare(*this)) {
            const std::string finding = candidate->finding();
            stayOnReference("the " + state.candidateName + " blur could not prepare itself here" +
                            (finding.empty() ? "" : ": " + finding));
        }
    }
    return state.path == Path::checking;
}

void VerifiedBlur::compareResults(const std::vector<std::uint8_t>& fromCandidate,
                                  const std::vector<std::uint8_t>& fromReference) {
    std::size_t differing = 0;
    for (std::size_t i = 0; i < fromCandidate.size(); ++i) {
        differing += fromCandidate[i] != fromReference[i] ? 1 : 0;
    }
    ++state.framesCompared;
    if (differing != 0) {
        state.differenceSeen = true;
        stayOnReference("the " + state.candidateName + " blur differed from the reference in " +
                        std::to_string(differing) + " bytes of compared frame " +
                        std::to_string(state.framesCompared));
    }
}

void VerifiedBlur::choose() {
    state.candidateMilliseconds = median(candidateTimes);
    state.referenceMilliseconds = median(referenceTimes);
    const std::string times = milliseconds(state.candidateMilliseconds) + " against " +
                              milliseconds(state.referenceMilliseconds) + " (medians)";
    const std::string identical =
        "identical in all " + std::to_string(framesToCompare) + " frames compared";
    if (state.candidateMilliseconds < state.referenceMilliseconds) {
        state.path = Path::candidate;
        state.reason = identical + " and faster: " + times;
    } else if (choice == Choice::anyIdentical) {
        state.path = Path::candidate;
        state.reason = identical + ", taken whatever its speed: " + times;
    } else {
        stayOnReference(identical + " but not faster: " + times);
    }
}

void VerifiedBlur::stayOnReference(std::string reason) {
    state.path = Path::reference;
    state.reason = std::move(reason);
}
