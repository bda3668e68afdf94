// Carrying a target to a panel. A directory goes through the host's panel commands; a command
// for another plugin ("ftp:server") is typed into the host's command line (HostPostText) and run
// with Enter, as if the user had typed it.
#pragma once

#include "abi/plugin_abi.h"

// Types `text` and Enter into the command line of this panel, or of the other panel and then
// the module's prefix and Enter back on this one. A text that may not be typed there
// (TypingRefusal) is refused with a box that names it; nothing is posted then, nor when the keys
// cannot be had. True when the keys were handed to the host.
bool PostPluginCommand(const char* text, bool otherPanel);
// Carries `target` to the panel `panel` stands for (INVALID_HANDLE_VALUE: the active one), or to
// the other panel: a command for another plugin is posted, a directory shown. A target that
// cannot be carried as it is (DirectoryRefusal, TypingRefusal) is refused with a box that names
// it, whatever ShowErrors says: the user asked to go there and would land elsewhere. A directory
// the host could not show is said while ShowErrors is on. False when refused.
bool CarryTarget(HANDLE panel, char* target, bool otherPanel);
