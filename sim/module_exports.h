// The module's eleven exports as the host sees them, and loading the module the host's way: the
// system's loader (loaded_library.h), then each export by its plain name.
#pragma once

#include <string>

#include "abi/plugin_abi.h"

struct ModuleExports {
    void(WINAPI* SetStartupInfo)(const PluginStartupInfo* Info) = nullptr;
    int(WINAPI* GetMinFarVersion)() = nullptr;
    void(WINAPI* GetPluginInfo)(PluginInfo* Info) = nullptr;
    HANDLE(WINAPI* OpenPlugin)(int OpenFrom, INT_PTR Item) = nullptr;
    void(WINAPI* ClosePlugin)(HANDLE hPlugin) = nullptr;
    int(WINAPI* Configure)(int ItemNumber) = nullptr;
    void(WINAPI* GetOpenPluginInfo)(HANDLE hPlugin, OpenPluginInfo* Info) = nullptr;
    int(WINAPI* GetFindData)(HANDLE hPlugin, PluginPanelItem** pPanelItem, int* pItemsNumber,
                             int OpMode) = nullptr;
    int(WINAPI* SetDirectory)(HANDLE hPlugin, const char* Dir, int OpMode) = nullptr;
    int(WINAPI* ProcessKey)(HANDLE hPlugin, int Key, unsigned int ControlState) = nullptr;
    int(WINAPI* MakeDirectory)(HANDLE hPlugin, char* Name, int OpMode) = nullptr;
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
