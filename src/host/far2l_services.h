// far2l's services as the module calls them. far2l offers the Windows host's services, but
// takes paths with '/' and types posted keys its own way; the module is started with a table
// whose Control and AdvControl make those adaptations on the way to far2l's own.
#pragma once

#include "../abi/plugin_abi.h"

// Keeps far2l's table and gives the one to start the module with: the same services, Control
// and AdvControl going through the adaptations. Valid until the next call.
const PluginStartupInfo* WrapFar2lServices(const PluginStartupInfo* host);
