// Loading the module by path and resolving its exports by their undecorated names.
#include "module_exports.h"

#include "loaded_library.h"

namespace {

template <class Function>
bool Resolve(void* library, const char* name, Function* slot, std::string* error) {
    void* address = FindExport(library, name);
    if (address == nullptr) {
        *error = std::string("the module does not export ") + name;
        return false;
    }
    *slot = reinterpret_cast<Function>(address);
    return true;
}

}  // namespace

LoadedModule::~LoadedModule() {
    Unload();
}

bool LoadedModule::Load(const std::string& path, std::string* error) {
    Unload();
    handle_ = OpenLibrary(path, error);
    if (handle_ == nullptr) {
        return false;
    }
    bool found = true;
#define VELMORA_RESOLVE_EXPORT(result, name, parameters, arguments) \
    found = found && Resolve(handle_, #name, &exports.name, error);
    VELMORA_PLUGIN_EXPORTS(VELMORA_RESOLVE_EXPORT)
#undef VELMORA_RESOLVE_EXPORT
    if (!found) {
        Unload();
    }
    return found;
}

void LoadedModule::Unload() {
    if (handle_ != nullptr) {
        CloseLibrary(handle_);
        handle_ = nullptr;
    }
    exports = ModuleExports();
}
