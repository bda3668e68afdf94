// The module's exports as the host sees them (abi/plugin_exports.h), and loading the module the
// host's way: the system's loader (loaded_library.h), then each export by its plain name.
#pragma once

#include <string>

#include "abi/plugin_exports.h"

struct ModuleExports {
#define VELMORA_EXPORT_SLOT(result, name, parameters, arguments) \
    result(WINAPI* name) parameters = nullptr;
    VELMORA_PLUGIN_EXPORTS(VELMORA_EXPORT_SLOT)
#undef VELMORA_EXPORT_SLOT
};

class LoadedModule {
  public:
    LoadedModule() = default;
    ~LoadedModule();
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;

    // Loads the module at `path` and finds every export; false with a reason when the file
    // cannot be loaded or an export is missing.
    bool Load(const std::string& path, std::string* error);
    // Unloads it, as the host does when it ends.
    void Unload();

    ModuleExports exports;

  private:
    void* handle_ = nullptr;
};
