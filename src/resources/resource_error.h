#pragma once

#include <cstdio>
#include <string>
#include <string_view>

// Every resource failure reads "File <name> <problem>" on one line, ends the process with status
// 1 and goes through the platform's fatal exit, so the window and the audio are torn down first.
[[noreturn]] void failResource(std::string_view fileName, std::string_view problem);
[[noreturn]] void failMissingFile(std::string_view fileName);

// Opens a data file for reading, or gives null when there is none. Anything but a regular file
// under the name (a FIFO, a folder, a device, a socket) is never waited on or read: it ends the
// process with "File <name> cannot be read: it is a FIFO, not a regular file".
std::FILE* openResourceFile(const std::string& fileName);
