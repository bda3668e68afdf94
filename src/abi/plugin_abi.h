// The host's interface as this build sees it: far2l's layout in the far2l plugin, the Windows
// host's 1.70 layout everywhere else. The module's code uses the shared names only.
#pragma once

#ifdef VELMORA_FAR2L
#include "far2l_plugin.h"
#else
#include "far_plugin.h"
#endif
