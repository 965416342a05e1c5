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
    // Why the folder LUMIVAHA_DATA names is not a data set ("does not exist", ...); empty when
    // the variable was not used or its folder was taken.
    std::string overrideRefused;
};

// The first of these that qualifies: data/ in the working directory; data/ beside the
// executable; ../share/lumivaha/data from the executable's folder. A folder qualifies when it
// holds any of dataFiles ("data/..." names), so an unrelated data/ is passed over while a damaged
// data set is still used and reported by the name of the file it lacks. The override
// (LUMIVAHA_DATA), when set and not empty, is the only place looked at: a folder that does not
// qualify is refused with the reason rather than passed over. An empty override counts as unset,
// as is usual for such variables, so "LUMIVAHA_DATA= lumivaha" clears it for one run.
DataSearch findDataDirectory(const std::vector<std::string>& dataFiles, const char* override,
                             const std::filesystem::path& executable);

// One line naming every place looked at, or the override and why it was refused, for a search
// that found nothing.
std::string noDataSetMessage(const DataSearch& search);

// Searches for this process (LUMIVAHA_DATA, the working directory, /proc/self/exe) and makes
// dataFilePath resolve into what it found. False, with the message, when nothing qualified.
bool selectDataDirectory(const std::vector<std::string>& dataFiles, std::string& message);

// A "data/..." name as a path into the selected data set. A data set in the working directory
// keeps its relative names, so messages read as the names the demo asks for.
std::string dataFilePath(const std::string& name);

} // namespace platform
