// The active panel's directory as the host handed it over, against the process's own: rendered
// in the OEM page as the host renders it (a look-alike letter where the page has one, else '?'),
// the process's directory shows whether the host's text is it, a cut of it, or neither.
#include "../received_directory.h"

#include <windows.h>

#include <new>
#include <string>

#include "oem_text.h"

ReceivedDirectory VelmoraReceivedDirectory(const char* dir) {
    try {
        DWORD room = GetCurrentDirectoryW(0, nullptr);
        if (room == 0) {
            return kDirectoryUnknown;
        }
        std::wstring current(room, L'\0');
        DWORD length = GetCurrentDirectoryW(room, &current[0]);
        if (length == 0 || length >= room) {
            return kDirectoryUnknown;
        }
        current.resize(length);
        int size = static_cast<int>(length);
        int bytes =
            WideCharToMultiByte(CP_OEMCP, 0, current.data(), size, nullptr, 0, nullptr, nullptr);
        std::string rendered(bytes, '\0');
        WideCharToMultiByte(CP_OEMCP, 0, current.data(), size, &rendered[0], bytes, nullptr,
                            nullptr);
        std::string given = dir != nullptr ? dir : "";
        if (rendered == given) {
            return ToHostText(current.data(), current.size()) == rendered ? kDirectoryWhole
                                                                          : kDirectoryReplaced;
        }
        bool cut = !given.empty() && rendered.size() > given.size() &&
                   rendered.compare(0, given.size(), given) == 0;
        return cut ? kDirectoryCut : kDirectoryUnknown;
    } catch (const std::bad_alloc&) {
        return kDirectoryUnknown;
    }
}
