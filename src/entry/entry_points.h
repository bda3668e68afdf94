// What the module does for each of its exports (abi/plugin_exports.h). The exports themselves
// are thin functions in the host's calling convention (exports.cpp, or far2l's in src/far2l),
// so that what differs between hosts stays out of here. Every entry that can fail catches
// everything, reports it and returns its failure value: nothing escapes into the host.
#pragma once

#include "abi/plugin_exports.h"

namespace entry {

#define VELMORA_DECLARE_ENTRY(result, name, parameters, arguments) result name parameters;
VELMORA_PLUGIN_EXPORTS(VELMORA_DECLARE_ENTRY)
#undef VELMORA_DECLARE_ENTRY

}  // namespace entry
