#include "demo/blur_choice.h"

#include "effects/processor_blur.h"
#include "effects/verified_blur.h"

#include <cstdlib>
#include <string_view>

// LUMIVAHA_BLUR=reference keeps the reference; =verified takes the candidate once it matched,
// whatever its speed.
std::unique_ptr<FeedbackBlur> makeFeedbackBlur(bool differedBefore) {
    const char* variable = std::getenv("LUMIVAHA_BLUR");
    const std::string_view setting = variable != nullptr ? variable : "";
    if (setting == "reference") {
        return std::make_unique<VerifiedBlur>(nullptr, "LUMIVAHA_BLUR=reference");
    }
    if (differedBefore) {
        return std::make_unique<VerifiedBlur>(
            nullptr, "a faster blur differed from the reference earlier in this process");
    }
    return std::make_unique<VerifiedBlur>(std::make_unique<ProcessorBlur>(), "",
                                          setting == "verified"
                                              ? VerifiedBlur::Choice::anyIdentical
                                              : VerifiedBlur::Choice::fastestIdentical);
}
