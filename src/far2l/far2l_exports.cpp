// The exports as far2l finds them: plain C names and default visibility, as on every system
// but Windows (VELMORA_EXPORT), and no calling convention (WINAPI is empty there). Where far2l
// needs more than the module's own entry points, far2l_entry_points.h adds it.
#include "abi/plugin_abi.h"
#include "entry/entry_points.h"
#include "far2l_entry_points.h"

VELMORA_EXPORT void WINAPI SetStartupInfo(const PluginStartupInfo* Info) {
    far2l::SetStartupInfo(Info);
}

// far2l's kMinFarVersion: far2l refuses a module asking for more than 2.6, and reads the
// Windows host's 1.70 build 1282 as far more.
VELMORA_EXPORT int WINAPI GetMinFarVersion() {
    return entry::GetMinFarVersion();
}

VELMORA_EXPORT void WINAPI GetPluginInfo(PluginInfo* Info) {
    entry::GetPluginInfo(Info);
}

VELMORA_EXPORT HANDLE WINAPI OpenPlugin(int OpenFrom, INT_PTR Item) {
    return far2l::OpenPlugin(OpenFrom, Item);
}

VELMORA_EXPORT void WINAPI ClosePlugin(HANDLE hPlugin) {
    entry::ClosePlugin(hPlugin);
}

VELMORA_EXPORT int WINAPI Configure(int ItemNumber) {
    return far2l::Configure(ItemNumber);
}

VELMORA_EXPORT void WINAPI GetOpenPluginInfo(HANDLE hPlugin, OpenPluginInfo* Info) {
    entry::GetOpenPluginInfo(hPlugin, Info);
}

VELMORA_EXPORT int WINAPI GetFindData(HANDLE hPlugin, PluginPanelItem** pPanelItem,
                                      int* pItemsNumber, int OpMode) {
    return entry::GetFindData(hPlugin, pPanelItem, pItemsNumber, OpMode);
}

VELMORA_EXPORT int WINAPI SetDirectory(HANDLE hPlugin, const char* Dir, int OpMode) {
    return far2l::SetDirectory(hPlugin, Dir, OpMode);
}

VELMORA_EXPORT int WINAPI ProcessKey(HANDLE hPlugin, int Key, unsigned int ControlState) {
    return far2l::ProcessKey(hPlugin, Key, ControlState);
}

VELMORA_EXPORT int WINAPI MakeDirectory(HANDLE hPlugin, char* Name, int OpMode) {
    return far2l::MakeDirectory(hPlugin, Name, OpMode);
}
