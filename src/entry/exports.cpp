// The exports as the Windows host (and the stand-in host of the tests) finds them: each passes
// its call to the module's entry point of its name. How a system marks an export is the
// platform's (VELMORA_EXPORT).
#include "entry_points.h"

#define VELMORA_DEFINE_EXPORT(result, name, parameters, arguments) \
    VELMORA_EXPORT result WINAPI name parameters {                 \
        return entry::name arguments;                              \
    }
VELMORA_PLUGIN_EXPORTS(VELMORA_DEFINE_EXPORT)
