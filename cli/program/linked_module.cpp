// The far2l export layer is linked into the program, so its exports are plain functions here.
// Loading the plugin file instead would give the process a second copy of the store's code,
// and a second connection to each database whose closing voids the other's locks.
#include "linked_module.h"

ModuleExports LinkedModuleExports() {
    ModuleExports exports;
#define VELMORA_TAKE_EXPORT(result, name, parameters, arguments) exports.name = ::name;
    VELMORA_PLUGIN_EXPORTS(VELMORA_TAKE_EXPORT)
#undef VELMORA_TAKE_EXPORT
    return exports;
}
