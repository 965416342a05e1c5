// For builds without threads (the browser's): the processor blur needs two, so the reference
// blur is the only one.
#include "demo/blur_choice.h"
#include "effects/verified_blur.h"

std::unique_ptr<FeedbackBlur> makeFeedbackBlur(bool) {
    return std::make_unique<VerifiedBlur>(nullptr, "this build has no threads");
}
