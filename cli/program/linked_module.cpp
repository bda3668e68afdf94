// The far2l export layer is linked into the program, so its exports are plain functions here.
// Loading the plugin file instead would give the process a second copy of the store's code,
// and a second connection to each database whose closing voids the other's locks.
#include "linked_module.h"

VELMORA_EXPORT void WINAPI SetStartupInfo(const PluginStartupInfo* Info);
VELMORA_EXPORT int WINAPI GetMinFarVersion();
VELMORA_EXPORT void WINAPI GetPluginInfo(PluginInfo* Info);
VELMORA_EXPORT HANDLE WINAPI OpenPlugin(int OpenFrom, INT_PTR Item);
VELMORA_EXPORT void WINAPI ClosePlugin(HANDLE hPlugin);
VELMORA_EXPORT int WINAPI Configure(int ItemNumber);
VELMORA_EXPORT void WINAPI GetOpenPluginInfo(HANDLE hPlugin, OpenPluginInfo* Info);
VELMORA_EXPORT int WINAPI GetFindData(HANDLE hPlugin, PluginPanelItem** pPanelItem,
                                      int* pItemsNumber, int OpMode);
VELMORA_EXPORT int WINAPI SetDirectory(HANDLE hPlugin, const char* Dir, int OpMode);
VELMORA_EXPORT int WINAPI ProcessKey(HANDLE hPlugin, int Key, unsigned int ControlState);
VELMORA_EXPORT int WINAPI MakeDirectory(HANDLE hPlugin, char* Name, int OpMode);

ModuleExports LinkedModuleExports() {
    ModuleExports exports;
    exports.SetStartupInfo = SetStartupInfo;
    exports.GetMinFarVersion = GetMinFarVersion;
    exports.GetPluginInfo = GetPluginInfo;
    exports.OpenPlugin = OpenPlugin;
    exports.ClosePlugin = ClosePlugin;
    exports.Configure = Configure;
    exports.GetOpenPluginInfo = GetOpenPluginInfo;
    exports.GetFindData = GetFindData;
    exports.SetDirectory = SetDirectory;
    exports.ProcessKey = ProcessKey;
    exports.MakeDirectory = MakeDirectory;
    return exports;
}
