// The loader on systems with dlopen: the module's symbols stay its own (RTLD_LOCAL), as far2l
// loads a plugin.
#include <dlfcn.h>

#include "loaded_library.h"

void* OpenLibrary(const std::string& path, std::string* error) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        *error = dlerror();
    }
    return handle;
}

void* FindExport(void* library, const char* name) {
    return dlsym(library, name);
}

void CloseLibrary(void* library) {
    dlclose(library);
}
