#pragma once

#include <string>
#include <string_view>

// Windows names files and windows in UTF-16; the program's text is UTF-8 throughout.
namespace platform {

std::wstring wideFromUtf8(std::string_view text);
std::string utf8FromWide(std::wstring_view text);

} // namespace platform
