#include "resources/resource_error.h"

#include "platform/data_file.h"
#include "platform/fatal_exit.h"

#include <string>

void failResource(std::string_view fileName, std::string_view problem) {
    std::string message = "File ";
    message.append(fileName).append(" ").append(problem).append("\n");
    platform::fatalExit(1, message);
}

void failMissingFile(std::string_view fileName) {
    failResource(fileName, "not found!");
}

std::FILE* openResourceFile(const std::string& fileName) {
    const platform::OpenedDataFile opened = platform::openDataFile(fileName.c_str());
    if (opened.file == nullptr && !opened.refusal.empty()) {
        failResource(fileName, "cannot be read: " + opened.refusal);
    }
    return opened.file;
}
