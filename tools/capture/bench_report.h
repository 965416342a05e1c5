#pragma once

#include "bench_session.h"

#include <string>
#include <vector>

inline constexpr double startupTargetMilliseconds = 250.0;
inline constexpr double pairTargetRatio = 1.3;
// Sixty frames a second, and the chosen blur's frames against the reference's in the same run.
inline constexpr double frameTargetMilliseconds = 16.7;
inline constexpr double referenceTargetRatio = 0.6;

// The benchmark's tables, in Markdown: the start-up phases (medians over the start-ups, and the
// first start-up's total on its own), for every pair the median and 90th percentile against its
// floor and against the reference blur's frame, each with the target it is held to, and which
// blur was chosen and why.
std::string benchReport(const std::vector<StartupSample>& startups,
                        const std::vector<PairSample>& pairs,
                        const VerifiedBlur::Report* blur = nullptr);
