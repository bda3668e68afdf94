// Whether a key holds a value whose name begins with a text, answered from the Linux name
// store's index without a walk, so that a program can tell a name nobody stored from one to
// complete in one step over any number of names. POSIX only: the system's registry has no
// such question.
#pragma once

#ifndef _WIN32
#include "posix/windows_api.h"

// ERROR_SUCCESS when a value name of `key` begins with `prefix` (ASCII case ignored, as every
// name match in the registry), ERROR_FILE_NOT_FOUND when none does, else the failure.
VELMORA_PLATFORM_API LONG VelmoraValueNameBeginsWith(HKEY key, const char* prefix);
#endif
