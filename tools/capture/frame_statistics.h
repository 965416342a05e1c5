#pragma once

#include <vector>

// The middle value; the mean of the two middle ones for an even count. 0 for no values.
double median(std::vector<double> values);
// The nearest-rank percentile: the smallest value with at least share x count values at or
// below it (share 0.9 for the 90th). 0 for no values.
double percentile(std::vector<double> values, double share);
