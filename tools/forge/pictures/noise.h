#pragma once

#include <cstdint>

namespace forge {

// Smooth value noise in [0, 1], lattice spacing 1.
float valueNoise(float x, float y, std::uint32_t seed);

// Sum of octaves of value noise, normalised to [0, 1].
float fractalNoise(float x, float y, int octaves, std::uint32_t seed);

} // namespace forge
