// The loader on Windows, as the host loads a plugin's DLL.
#include <windows.h>

#include "loaded_library.h"

void* OpenLibrary(const std::string& path, std::string* error) {
    void* handle = reinterpret_cast<void*>(LoadLibraryA(path.c_str()));
    if (handle == nullptr) {
        *error = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
    }
    return handle;
}

void* FindExport(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void CloseLibrary(void* library) {
    FreeLibrary(static_cast<HMODULE>(library));
}
