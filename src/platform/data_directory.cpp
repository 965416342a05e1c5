#include "platform/data_directory.h"

#include "platform/process_paths.h"

#include <algorithm>
#include <string_view>
#include <system_error>

namespace platform {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view dataPrefix = "data/";

std::optional<fs::path> selectedDirectory;

std::string_view withinDataSet(const std::string& name) {
    std::string_view view = name;
    if (view.starts_with(dataPrefix)) {
        view.remove_prefix(dataPrefix.size());
    }
    return view;
}

// Only looks at the names (stat), so a FIFO or device among them is never opened or waited on.
bool holdsAnyOf(const fs::path& directory, const std::vector<std::string>& dataFiles) {
    return std::any_of(dataFiles.begin(), dataFiles.end(), [&directory](const std::string& file) {
        std::error_code error;
        return fs::exists(directory / withinDataSet(file), error);
    });
}

// Why the folder cannot be the data set; empty when it can.
std::string whyNotADataSet(const fs::path& folder, const std::vector<std::string>& dataFiles) {
    std::error_code error;
    const fs::file_status status = fs::status(folder, error);
    if (status.type() == fs::file_type::not_found) {
        return "does not exist";
    }
    if (error) {
        return "cannot be looked into (" + error.message() + ")";
    }
    if (!fs::is_directory(status)) {
        return "is not a folder";
    }
    return holdsAnyOf(folder, dataFiles) ? "" : "holds none of the demo's files";
}

DataSearch searchOverride(const std::vector<std::string>& dataFiles, const char* override) {
    DataSearch search;
    search.placesLooked.emplace_back(override);
    search.overrideRefused = whyNotADataSet(override, dataFiles);
    if (search.overrideRefused.empty()) {
        search.directory = fs::path(override);
    }
    return search;
}

} // namespace

DataSearch findDataDirectory(const std::vector<std::string>& dataFiles, const char* override,
                             const fs::path& executable) {
    if (override != nullptr && *override != '\0') {
        return searchOverride(dataFiles, override);
    }
    DataSearch search;
    std::vector<fs::path> candidates{"data"};
    if (!executable.empty()) {
        const fs::path home = executable.parent_path();
        candidates.push_back(home / "data");
        candidates.push_back((home / ".." / "share" / "lumivaha" / "data").lexically_normal());
    }
    for (const fs::path& candidate : candidates) {
        std::error_code error;
        search.placesLooked.push_back(candidate.is_relative()
                                          ? (fs::current_path(error) / candidate).string()
                                          : candidate.string());
        if (holdsAnyOf(candidate, dataFiles)) {
            search.directory = candidate;
            return search;
        }
    }
    return search;
}

std::string noDataSetMessage(const DataSearch& search) {
    if (!search.overrideRefused.empty()) {
        return "No data set found: LUMIVAHA_DATA names " + search.placesLooked.front() +
               ", which " + search.overrideRefused;
    }
    std::string message = "No data set found: none of the demo's files in";
    for (std::size_t i = 0; i < search.placesLooked.size(); ++i) {
        message += i == 0 ? " " : (i + 1 == search.placesLooked.size() ? " or " : ", ");
        message += search.placesLooked[i];
    }
    return message + " (LUMIVAHA_DATA names another place)";
}

bool selectDataDirectory(const std::vector<std::string>& dataFiles, std::string& message) {
    const std::optional<std::string> override = environmentVariable("LUMIVAHA_DATA");
    const DataSearch search =
        findDataDirectory(dataFiles, override ? override->c_str() : nullptr, executablePath());
    selectedDirectory = search.directory;
    if (!search.directory) {
        message = noDataSetMessage(search);
        return false;
    }
    return true;
}

std::string dataFilePath(const std::string& name) {
    if (!selectedDirectory) {
        return name;
    }
    // Forward slashes on every system, so messages name files as the demo asks for them.
    return (*selectedDirectory / withinDataSet(name)).generic_string();
}

} // namespace platform
