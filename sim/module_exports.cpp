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
    ModuleExports& e = exports;
    bool found = Resolve(handle_, "SetStartupInfo", &e.SetStartupInfo, error) &&
                 Resolve(handle_, "GetMinFarVersion", &e.GetMinFarVersion, error) &&
                 Resolve(handle_, "GetPluginInfo", &e.GetPluginInfo, error) &&
                 Resolve(handle_, "OpenPlugin", &e.OpenPlugin, error) &&
                 Resolve(handle_, "ClosePlugin", &e.ClosePlugin, error) &&
                 Resolve(handle_, "Configure", &e.Configure, error) &&
                 Resolve(handle_, "GetOpenPluginInfo", &e.GetOpenPluginInfo, error) &&
                 Resolve(handle_, "GetFindData", &e.GetFindData, error) &&
                 Resolve(handle_, "SetDirectory", &e.SetDirectory, error) &&
                 Resolve(handle_, "ProcessKey", &e.ProcessKey, error) &&
                 Resolve(handle_, "MakeDirectory", &e.MakeDirectory, error);
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
