// The eleven exports as the host finds them: plain names, the host's calling convention, C
// linkage. How a system marks an export is the platform's (VELMORA_EXPORT).
#include "abi/plugin_abi.h"
#include "entry_points.h"

VELMORA_EXPORT void WINAPI SetStartupInfo(const PluginStartupInfo* Info) {
    entry::SetStartupInfo(Info);
}

VELMORA_EXPORT int WINAPI GetMinFarVersion() {
    return entry::GetMinFarVersion();
}

VELMORA_EXPORT void WINAPI GetPluginInfo(PluginInfo* Info) {
    entry::GetPluginInfo(Info);
}

VELMORA_EXPORT HANDLE WINAPI OpenPlugin(int OpenFrom, INT_PTR Item) {
    return entry::OpenPlugin(OpenFrom, Item);
}

VELMORA_EXPORT void WINAPI ClosePlugin(HANDLE hPlugin) {
    entry::ClosePlugin(hPlugin);
}

VELMORA_EXPORT int WINAPI Configure(int ItemNumber) {
    return entry::Configure(ItemNumber);
}

VELMORA_EXPORT void WINAPI GetOpenPluginInfo(HANDLE hPlugin, OpenPluginInfo* Info) {
    entry::GetOpenPluginInfo(hPlugin, Info);
}

VELMORA_EXPORT int WINAPI GetFindData(HANDLE hPlugin, PluginPanelItem** pPanelItem,
                                      int* pItemsNumber, int OpMode) {
    return entry::GetFindData(hPlugin, pPanelItem, pItemsNumber, OpMode);
}

VELMORA_EXPORT int WINAPI SetDirectory(HANDLE hPlugin, const char* Dir, int OpMode) {
    return entry::SetDirectory(hPlugin, Dir, OpMode);
}

VELMORA_EXPORT int WINAPI ProcessKey(HANDLE hPlugin, int Key, unsigned int ControlState) {
    return entry::ProcessKey(hPlugin, Key, ControlState);
}

VELMORA_EXPORT int WINAPI MakeDirectory(HANDLE hPlugin, char* Name, int OpMode) {
    return entry::MakeDirectory(hPlugin, Name, OpMode);
}
