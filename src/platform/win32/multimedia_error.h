#pragma once

#include <string>

namespace platform {

// The system's words for a result of winmm or ACM (an MMRESULT), in UTF-8, without the closing
// full stop, so they read inside the program's own messages.
std::string multimediaErrorText(unsigned result);

} // namespace platform
