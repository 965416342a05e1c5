#pragma once

#include <string>
#include <vector>

namespace forge {

// The seventeen picture files of the data set, in texture-slot order.
const std::vector<std::string>& pictureFileNames();

} // namespace forge
