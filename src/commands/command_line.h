// The commands typed behind the prefix: "+name" and ":name" store the active panel's directory
// as a temporary or permanent name, "-name" deletes, anything else jumps to a name and an
// optional rest behind '/' or '\'.
#pragma once

#include <cstddef>

#include "../abi/plugin_abi.h"
// The look-up's rules: SplitName and FirstSeparator, which the panel's dialogs use too.
#include "jump_target.h"

// The longest directory an add stores unless the system tells that the host handed it over
// whole. A host hands over a longer directory cut to the panel's field (Far 3 gives a 1.x plugin
// 259 characters), so one that fills the field, all but its terminating zero, may not be the one
// the user is in.
constexpr size_t kLongestStoredDirectory = sizeof(PanelInfo::CurDir) - 2;

// 0 when the command was carried out, else the failure code.
int ProcessCommandLine(const char* text);
