// The commands typed behind the prefix: "+name" and ":name" store the active panel's directory
// as a temporary or permanent name, "-name" deletes, anything else jumps to a name and an
// optional rest behind '/' or '\'.
#pragma once

// The look-up's rules: SplitName and FirstSeparator, which the panel's dialogs use too.
#include "jump_target.h"

// 0 when the command was carried out, else the failure code.
int ProcessCommandLine(const char* text);
