#include "effects/measured_blur.h"

#include "effects/blur_check.h"
#include "resources/texture_bank.h"

#include <GL/gl.h>
#include <algorithm>
#include <cstdlib>
#include <utility>

namespace {

using namespace blur_check;

MeasuredBlur::Trial trialOf(const std::unique_ptr<BlurCandidate>& candidate) {
    MeasuredBlur::Trial trial;
    if (candidate) {
        trial.name = candidate->name();
    }
    return trial;
}

} // namespace

const char* pathName(MeasuredBlur::Path path) {
    switch (path) {
    case MeasuredBlur::Path::checking:
        return "checking";
    case MeasuredBlur::Path::exact:
        return "exact";
    case MeasuredBlur::Path::fast:
        return "fast";
    case MeasuredBlur::Path::window:
        break;
    }
    return "window";
}

MeasuredBlur::MeasuredBlur(std::unique_ptr<BlurCandidate> exactCandidate,
                           std::unique_ptr<BlurCandidate> fastCandidate)
    : exact{std::move(exactCandidate), state.exact}, fast{std::move(fastCandidate), state.fast} {
    state.exact = trialOf(exact.blur);
    state.fast = trialOf(fast.blur);
}

void MeasuredBlur::draw(int textureSlot, float seconds) {
    const bool firstCall = !drawnBefore;
    drawnBefore = true;
    // The first call draws the window path alone: it ends the start-up, and the render
    // target's first picture still carries the alpha that no candidate takes. The candidates
    // prepare in the next, so no one frame carries both that and a comparison.
    if (firstCall) {
        FeedbackBlur::draw(textureSlot, seconds);
    } else if (!prepared) {
        prepareCandidates(textureSlot, seconds);
    } else if (state.path == Path::checking) {
        checkFrame(textureSlot, seconds);
    } else {
        drawChosen(textureSlot, seconds);
    }
}

// A candidate that cannot stand in for this call leaves it to the next way down.
void MeasuredBlur::drawChosen(int textureSlot, float seconds) {
    horizontalSpread = verticalSpread;
    if (state.path == Path::fast && fast.blur->draw(textureSlot, *this)) {
        return;
    }
    if (state.path != Path::window && exact.trial.available &&
        exact.blur->draw(textureSlot, *this)) {
        return;
    }
    FeedbackBlur::draw(textureSlot, seconds);
}

// Every way from the same picture; the window path's result is the one kept.
void MeasuredBlur::checkFrame(int textureSlot, float seconds) {
    const Clock::time_point began = finishedNow();
    horizontalSpread = verticalSpread;
    glBindTexture(GL_TEXTURE_2D, textureBank[static_cast<std::size_t>(textureSlot)]);
    const std::vector<std::uint8_t> picture = readBoundTexture();
    std::vector<std::uint8_t> fromExact;
    std::vector<std::uint8_t> fromFast;
    const bool exactDrew = tryCandidate(exact, textureSlot, picture, fromExact);
    const bool fastDrew = tryCandidate(fast, textureSlot, picture, fromFast);
    writeBoundTexture(picture);
    const Clock::time_point windowBegan = finishedNow();
    FeedbackBlur::draw(textureSlot, seconds);
    const double windowTime = finishedMillisecondsSince(windowBegan);
    const std::vector<std::uint8_t> fromWindow = readBoundTexture();
    // A frame either candidate could not take is not counted.
    if (exactDrew || fastDrew) {
        windowTimes.push_back(windowTime);
        ++state.framesChecked;
    }
    if (exactDrew) {
        compare(exact, fromExact, fromWindow);
    }
    if (fastDrew) {
        compare(fast, fromFast, fromWindow);
    }
    state.checkMilliseconds += finishedMillisecondsSince(began) - windowTime;
    if (state.framesChecked == framesToCompare ||
        (!exact.trial.available && !fast.trial.available)) {
        choose();
    }
}

// Then the window path draws the frame.
void MeasuredBlur::prepareCandidates(int textureSlot, float seconds) {
    prepared = true;
    for (Candidate* candidate : {&exact, &fast}) {
        if (candidate->blur) {
            const Clock::time_point began = finishedNow();
            candidate->trial.available = candidate->blur->prepare(*this);
            candidate->trial.finding = candidate->blur->finding();
            candidate->trial.prepareMilliseconds = finishedMillisecondsSince(began);
            state.checkMilliseconds += candidate->trial.prepareMilliseconds;
        }
    }
    if (!exact.trial.available && !fast.trial.available) {
        choose();
    }
    FeedbackBlur::draw(textureSlot, seconds);
}

// The candidate's result from the picture, and its time; the picture goes back into the
// texture first unless it is still there.
bool MeasuredBlur::tryCandidate(Candidate& candidate, int textureSlot,
                                const std::vector<std::uint8_t>& picture,
                                std::vector<std::uint8_t>& result) {
    if (!candidate.trial.available) {
        return false;
    }
    if (&candidate == &fast && exact.trial.available) {
        writeBoundTexture(picture);
    }
    const Clock::time_point began = finishedNow();
    if (!candidate.blur->draw(textureSlot, *this)) {
        return false;
    }
    candidate.trial.times.push_back(finishedMillisecondsSince(began));
    result = readBoundTexture();
    return true;
}

void MeasuredBlur::compare(Candidate& candidate, const std::vector<std::uint8_t>& result,
                           const std::vector<std::uint8_t>& fromWindow) {
    Trial& trial = candidate.trial;
    std::size_t differing = 0;
    for (std::size_t i = 0; i < result.size(); ++i) {
        const int difference = std::abs(result[i] - fromWindow[i]);
        differing += difference != 0 ? 1 : 0;
        trial.largestDifference = std::max(trial.largestDifference, difference);
    }
    ++trial.framesCompared;
    trial.framesIdentical += differing == 0 ? 1 : 0;
    trial.differingBytes += differing;
    if (differing != 0 && &candidate == &exact) {
        trial.available = false;
        trial.finding = "differed from the window path in " + std::to_string(differing) +
                        " bytes of compared frame " + std::to_string(trial.framesCompared);
    }
}

// The exact candidate, where it matched throughout, is the reference; the fast one is taken
// when it beat that.
void MeasuredBlur::choose() {
    takeMedians();
    const bool exactHolds = state.exact.available && state.exact.framesCompared > 0;
    const double referenceTime = exactHolds ? state.exact.milliseconds : state.windowMilliseconds;
    const bool fastHolds = state.fast.available && state.fast.framesCompared > 0;
    const bool fastWins = fastHolds && state.fast.milliseconds < referenceTime;
    state.path = fastWins ? Path::fast : exactHolds ? Path::exact : Path::window;
    state.reason = referenceReason(exactHolds);
    if (fastHolds) {
        state.reason += "; the " + state.fast.name + " blur is " + (fastWins ? "" : "not ") +
                        "faster: " + milliseconds(state.fast.milliseconds) + " against " +
                        milliseconds(referenceTime) + " (medians)";
    }
}

void MeasuredBlur::takeMedians() {
    for (Trial* trial : {&state.exact, &state.fast}) {
        if (!trial->times.empty()) {
            trial->milliseconds = median(trial->times);
        }
    }
    if (!windowTimes.empty()) {
        state.windowMilliseconds = median(windowTimes);
    }
}

std::string MeasuredBlur::referenceReason(bool exactHolds) const {
    const Trial& trial = state.exact;
    if (exactHolds) {
        return "the " + trial.name + " blur gave the window path's bytes in " +
               std::to_string(trial.framesCompared) + " frames";
    }
    const std::string why =
        trial.finding.empty() ? "" : ": the " + trial.name + " blur " + trial.finding;
    return "the window path is the reference" + why;
}
