#pragma once

#include <string>
#include <vector>

namespace forge {

// Writes the bytes to path, replacing the file. On failure, reason says why.
bool writeFileBytes(const std::string& path, const std::vector<unsigned char>& bytes,
                    std::string& reason);

} // namespace forge
