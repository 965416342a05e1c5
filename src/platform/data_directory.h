#pragma once

namespace platform {

// The demo reads "data/..." relative to the working directory. When the working directory has no
// data/ but the executable's own directory does, that directory becomes the working directory,
// so the demo starts from a file manager or another directory as well.
void enterDataDirectory();

} // namespace platform
