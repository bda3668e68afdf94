// What far2l's calls add to the module's entry points (entry_points.h): the services wrapped
// for far2l's ways, paths joined with '/', far2l's own box for a directory it cannot show, the
// extra key calls left out, and the faults of the module's own store files shown, which far2l's
// users would otherwise never hear of. Every export has its entry point here, far2l's own or
// the module's.
#pragma once

#include "entry/entry_points.h"

namespace far2l {

// What far2l's paths put between a directory and a name below it; a backslash is part of a name.
constexpr char kPathSeparator = '/';

void SetStartupInfo(const PluginStartupInfo* info);
HANDLE OpenPlugin(int openFrom, INT_PTR item);
int Configure(int itemNumber);
int SetDirectory(HANDLE plugin, const char* dir, int opMode);
int ProcessKey(HANDLE plugin, int key, unsigned int controlState);
int MakeDirectory(HANDLE plugin, char* name, int opMode);
// far2l takes these as they are. Its kMinFarVersion refuses a module asking for more than 2.6,
// and reads the Windows host's 1.70 build 1282 as far more: the layout's kMinFarVersion says 2.6.
using entry::ClosePlugin;
using entry::GetFindData;
using entry::GetMinFarVersion;
using entry::GetOpenPluginInfo;
using entry::GetPluginInfo;

// Readies the module for a program that answers from the store without starting a host (a
// jump typed in a shell): far2l's rules for paths and its command line, and the settings as
// they are stored, none written. The host's services stay out of reach until SetStartupInfo.
void StartWithoutHost();

}  // namespace far2l
