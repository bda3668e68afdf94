// What the module does for each of its exports. The exports themselves are thin functions in
// the host's calling convention (exports.cpp, or far2l's in src/far2l), so that what differs
// between hosts stays out of here. Every entry that can fail catches everything, reports it and
// returns its failure value: nothing escapes into the host.
#pragma once

#include "abi/plugin_abi.h"

namespace entry {

void SetStartupInfo(const PluginStartupInfo* info);
int GetMinFarVersion();
void GetPluginInfo(PluginInfo* info);
HANDLE OpenPlugin(int openFrom, INT_PTR item);
void ClosePlugin(HANDLE plugin);
int Configure(int itemNumber);
void GetOpenPluginInfo(HANDLE plugin, OpenPluginInfo* info);
int GetFindData(HANDLE plugin, PluginPanelItem** panelItems, int* itemsNumber, int opMode);
int SetDirectory(HANDLE plugin, const char* dir, int opMode);
int ProcessKey(HANDLE plugin, int key, unsigned int controlState);
int MakeDirectory(HANDLE plugin, char* name, int opMode);

}  // namespace entry
