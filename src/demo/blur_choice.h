#pragma once

#include "effects/feedback_blur.h"

#include <memory>

// The feedback blur of a new start-up. differedBefore: a faster blur differed from the
// reference earlier in this process, so none is trusted again.
std::unique_ptr<FeedbackBlur> makeFeedbackBlur(bool differedBefore);
