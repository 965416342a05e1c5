#pragma once

#include <string_view>

// Every resource failure reads "File <name> <problem>" on one line, ends the process with status
// 1 and goes through the platform's fatal exit, so the window and the audio are torn down first.
[[noreturn]] void failResource(std::string_view fileName, std::string_view problem);
[[noreturn]] void failMissingFile(std::string_view fileName);
