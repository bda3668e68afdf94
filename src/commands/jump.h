// Carrying a target to a panel. A directory goes through the host's panel commands; a command
// for another plugin ("ftp:server") is typed into the host's command line as posted keys and run
// with Enter, as if the user had typed it.
#pragma once

#include "../abi/plugin_abi.h"

// The record handed to the host for every post; refilled each time.
extern KeySequence PostedKeys;
// The text that PostedKeys types, while it is being handed over, else null: a layer between the
// module and the host that refuses the keys names the text as the user stored it.
extern const char* PostedText;

// Types `text` and Enter into the command line of this panel, or of the other panel and then
// the module's prefix and Enter back on this one. Posts nothing when the keys cannot be had;
// reports nothing.
void PostPluginCommand(const char* text, bool otherPanel);
