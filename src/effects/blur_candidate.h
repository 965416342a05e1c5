#pragma once

#include "effects/feedback_blur.h"

#include <string>

// Another way to a feedback blur's result, which VerifiedBlur uses only once it has given
// exactly the reference's pictures.
class BlurCandidate {
public:
    BlurCandidate() = default;
    virtual ~BlurCandidate() = default;
    BlurCandidate(const BlurCandidate&) = delete;
    BlurCandidate& operator=(const BlurCandidate&) = delete;

    // What the report calls it.
    virtual const char* name() const = 0;
    // Once, in the state FeedbackBlur::draw expects on entry, before the first draw. False when
    // it cannot stand in on this machine.
    virtual bool prepare(const FeedbackBlur& settings) = 0;
    // As FeedbackBlur::draw with these settings, horizontalSpread already copied. False, with
    // no picture changed, when it cannot stand in for this call.
    virtual bool draw(int textureSlot, const FeedbackBlur& settings) = 0;
    // What preparing found out about this machine: why it cannot stand in, or how closely it
    // follows the driver; empty when there is nothing to tell.
    virtual std::string finding() const { return {}; }
};
