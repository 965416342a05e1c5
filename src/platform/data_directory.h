#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// Where a data set was found, and every place that was looked at on the way.
struct DataSearch {
    std::optional<std::filesystem::path> directory;
    std::vector<std::string> placesLooked;
};

// The first of these that qualifies: the override (LUMIVAHA_DATA) when set and not empty, taken
// as it is; data/ in the working directory; data/ beside the executable; ../share/lumivaha/data
// from the executable's folder. A data/ qualifies when it holds any of dataFiles ("data/..."
// names), so an unrelated data/ is passed over while a damaged data set is still used and
// reported by the name of the file it lacks.
DataSearch findDataDirectory(const std::vector<std::string>& dataFiles, const char* override,
                             const std::filesystem::path& executable);

// One line naming every place looked at, for a search that found nothing.
std::string noDataSetMessage(const DataSearch& search);

// Searches for this process (LUMIVAHA_DATA, the working directory, /proc/self/exe) and makes
// dataFilePath resolve into what it found. False, with the message, when nothing qualified.
bool selectDataDirectory(const std::vector<std::string>& dataFiles, std::string& message);

// A "data/..." name as a path into the selected data set. A data set in the working directory
// keeps its relative names, so messages read as the names the demo asks for.
std::string dataFilePath(const std::string& name);

} // namespace platform
