#pragma once

#include <string>
#include <vector>

namespace platform {

// The demo reads "data/..." relative to the working directory. When the working directory's data/
// holds none of the given files ("data/..." names) but the executable's own directory has a
// data/, that directory becomes the working directory, so the demo starts from a file manager or
// another directory as well. A data/ holding some of the files is kept, so a damaged data set is
// reported by the name of the file it lacks.
void enterDataDirectory(const std::vector<std::string>& dataFiles);

} // namespace platform
