#pragma once

#include <cstdio>
#include <string>

namespace platform {

struct OpenedDataFile {
    // Open for reading, or null.
    std::FILE* file = nullptr;
    // Why a file that is there cannot be read, such as "it is a FIFO, not a regular file"; empty
    // when there is nothing under the name that this process may open (a missing file).
    std::string refusal;
};

// Opens a data file for reading, never waiting on it: a FIFO without a writer would wait for
// ever, and a folder, a device or a socket reads as nothing or fails later in ways that do not
// say why. Only a regular file is opened; anything else is refused with what it is.
OpenedDataFile openDataFile(const char* name);

} // namespace platform
