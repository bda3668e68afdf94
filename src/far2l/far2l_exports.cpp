// The exports as far2l finds them: plain C names and default visibility, as on every system
// but Windows (VELMORA_EXPORT), and no calling convention (WINAPI is empty there). Each passes
// its call to far2l's side of the entry point of its name (far2l_entry_points.h).
#include "far2l_entry_points.h"

#define VELMORA_DEFINE_EXPORT(result, name, parameters, arguments) \
    VELMORA_EXPORT result WINAPI name parameters {                 \
        return far2l::name arguments;                              \
    }
VELMORA_PLUGIN_EXPORTS(VELMORA_DEFINE_EXPORT)
