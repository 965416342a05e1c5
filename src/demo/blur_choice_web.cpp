// The browser's blur. A browser has no one way of blending to hold to: the framebuffer blur,
// once it gave the window path's bytes on this machine, is the reference, and the processor
// blur, which gives Mesa's arithmetic rather than the browser's, is taken where it is faster.
// LUMIVAHA_BLUR=reference (the page's ?blur=reference) tries the framebuffer blur alone.
#include "demo/blur_choice.h"
#include "effects/framebuffer_blur.h"
#include "effects/measured_blur.h"
#include "effects/processor_blur.h"

#include <cstdlib>
#include <memory>
#include <string_view>
#include <utility>

// Each start-up checks afresh, so a difference seen before changes nothing here.
std::unique_ptr<FeedbackBlur> makeFeedbackBlur(bool) {
    const char* variable = std::getenv("LUMIVAHA_BLUR");
    const std::string_view setting = variable != nullptr ? variable : "";
    // The browser's filter is not Mesa's, so the processor blur samples where the browser's
    // filter does, to the nearest of Mesa's weights.
    auto fast = setting == "reference"
                    ? nullptr
                    : std::make_unique<ProcessorBlur>(ProcessorBlur::Arithmetic::widest,
                                                      BlurSampleMap::Matching::nearest);
    return std::make_unique<MeasuredBlur>(std::make_unique<FramebufferBlur>(), std::move(fast));
}
