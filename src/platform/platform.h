// The system functions the module calls, under their Windows names. On Windows they are the
// system's own; elsewhere the stand-ins in posix/ give them the same types, flags and codes,
// so the module's code reads the same on every system.
#pragma once

#ifdef _WIN32
#include <windows.h>
// The host's texts are in its OEM code page: the registry and process functions the module
// calls take them there (windows/oem_functions.h).
#include "windows/oem_functions.h"
// Windows paths begin with a drive or a backslash; a ':' after index 1 is no part of them.
constexpr bool kSlashRootedPaths = false;
// An export of the module: its undecorated name comes from Velmora.def.
#define VELMORA_EXPORT extern "C"
#else
#include "posix/windows_api.h"
// A path that begins with '/' may hold ':' anywhere, since a Linux file name may hold any byte
// but '/' and zero: such a text is a directory, never a command for another plugin.
constexpr bool kSlashRootedPaths = true;
// An export of the module: the build hides every other symbol, and the host finds this one by
// its plain name.
#define VELMORA_EXPORT extern "C" __attribute__((visibility("default")))
#endif
