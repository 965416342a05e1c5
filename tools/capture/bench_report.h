#pragma once

#include "bench_session.h"

#include <string>
#include <vector>

inline constexpr double startupTargetMilliseconds = 250.0;
inline constexpr double pairTargetRatio = 1.3;

// The benchmark's tables, in Markdown: the start-up phases (medians over the start-ups, and the
// first start-up's total on its own) and, for every pair, the median and 90th percentile against
// its floor, each with the target it is held to.
std::string benchReport(const std::vector<StartupSample>& startups,
                        const std::vector<PairSample>& pairs);
