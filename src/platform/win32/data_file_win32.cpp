#include "platform/data_file.h"
#include "platform/win32/wide_text.h"

#include <io.h>
#include <windows.h>

namespace platform {

// Names in UTF-8, so a data set below a user name in any script opens as any other.
OpenedDataFile openDataFile(const char* name) {
    OpenedDataFile opened;
    const std::wstring wideName = wideFromUtf8(name);
    const DWORD attributes = GetFileAttributesW(wideName.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return opened;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        opened.refusal = "it is a folder, not a regular file";
        return opened;
    }
    opened.file = _wfopen(wideName.c_str(), L"rb");
    if (opened.file == nullptr) {
        return opened;
    }
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(opened.file)));
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        std::fclose(opened.file);
        opened.file = nullptr;
        opened.refusal = "it is a device, not a regular file";
    }
    return opened;
}

} // namespace platform
