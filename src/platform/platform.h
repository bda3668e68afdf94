// The system functions the module calls, under their Windows names. On Windows they are the
// system's own; elsewhere the stand-ins in posix/ give them the same types, flags and codes,
// so the module's code reads the same on every system.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include "posix/windows_api.h"
#endif
