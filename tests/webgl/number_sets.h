#pragma once

#include <map>
#include <string>
#include <vector>

// Named lists of numbers, passed from the Mesa run to the core's run as a flat JSON object.
using NumberSets = std::map<std::string, std::vector<double>>;

std::string numberSetsText(const NumberSets& sets);
bool writeNumberSets(const std::string& path, const NumberSets& sets);
// Empty when the file is missing or not such an object.
NumberSets readNumberSets(const std::string& path);
