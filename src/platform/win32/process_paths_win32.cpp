#include "platform/fatal_exit.h"
#include "platform/process_paths.h"
#include "platform/win32/wide_text.h"

#include <cstdio>
#include <vector>
#include <windows.h>

namespace platform {

std::filesystem::path executablePath() {
    // Long paths and user names of any script: the wide call, with room grown until it fits.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            return {};
        }
        if (length < buffer.size()) {
            return std::filesystem::path(std::wstring(buffer.data(), length));
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::optional<std::string> environmentVariable(const char* name) {
    const std::wstring wideName = wideFromUtf8(name);
    const DWORD size = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (size == 0) {
        // Set but empty reads the same as unset here, as the override treats both.
        return GetLastError() == ERROR_ENVVAR_NOT_FOUND ? std::nullopt
                                                        : std::optional<std::string>("");
    }
    std::wstring value(size, L'\0');
    const DWORD length = GetEnvironmentVariableW(wideName.c_str(), value.data(), size);
    value.resize(length);
    return utf8FromWide(value);
}

namespace {

bool hasStandardOutput() {
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    return output != nullptr && output != INVALID_HANDLE_VALUE;
}

void showFatalMessage(std::string_view message) {
    std::string_view text = message;
    if (text.ends_with('\n')) {
        text.remove_suffix(1);
    }
    MessageBoxW(nullptr, wideFromUtf8(text).c_str(), L"Error",
                MB_OK | MB_ICONEXCLAMATION | MB_TOPMOST);
}

} // namespace

void connectProgramOutput() {
    // Redirected output stays where it was sent.
    if (!hasStandardOutput() && AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stdout);
        std::freopen("CONOUT$", "w", stderr);
    }
    setFatalMessageBox(showFatalMessage);
}

} // namespace platform
