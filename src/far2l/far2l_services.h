// far2l's services as the module calls them. far2l offers the Windows host's services, but types
// posted keys its own way, runs a command line no plugin claims in the shell and cuts the lines
// of a message box at its screen's width; the module is started with a table whose AdvControl
// and Message make those adaptations on the way to far2l's own.
#pragma once

#include "abi/plugin_abi.h"

// Keeps far2l's table and gives the one to start the module with: the same services, AdvControl
// and Message going through the adaptations. Valid until the next call.
const PluginStartupInfo* WrapFar2lServices(const PluginStartupInfo* host);
