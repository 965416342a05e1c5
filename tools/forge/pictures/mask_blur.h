#pragma once

#include <vector>

namespace forge {

// Approximately Gaussian blur (three box passes each way) of a width x height mask.
std::vector<float> blurMask(const std::vector<float>& mask, int width, int height, int radius);

} // namespace forge
