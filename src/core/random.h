#pragma once

#include <cstdint>

// The one pseudo-random sequence of the whole demo, the classic C runtime generator, so the same
// seed gives the same demo on every platform and compiler.
inline constexpr int randomMaximum = 32767;

void seedRandom(std::uint32_t seed);
// 0 to randomMaximum. Reduce to a range with nextRandom() % n.
int nextRandom();
