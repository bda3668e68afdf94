// The module as the velmora program holds it: linked in, one copy of its code, of the store's
// and of SQLite in the process, and handed to the stand-in host as the host would find it.
#pragma once

#include "module_exports.h"

// The module's exports, as far2l finds them in its plugin.
ModuleExports LinkedModuleExports();
