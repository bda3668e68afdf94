// The value names of a key that begin with a text, found through the Linux name store's index
// without a walk: whether there is one, so that a program tells a name nobody stored from one to
// complete in one step, and which they are, so that a shell's completion reads only those over
// any number of names. POSIX only: the system's registry has no such question.
#pragma once

#ifndef _WIN32
#include "posix/windows_api.h"

// ERROR_SUCCESS when a value name of `key` begins with `prefix` (ASCII case ignored, as every
// name match in the registry), ERROR_FILE_NOT_FOUND when none does, else the failure.
VELMORA_PLATFORM_API LONG VelmoraValueNameBeginsWith(HKEY key, const char* prefix);

// Called with each name found; a return of 0 ends the enumeration.
typedef int (*VelmoraValueNameVisitor)(const char* name, void* context);
// Calls `visit` with every value name of `key` that begins with `prefix` (ASCII case ignored),
// in the order of the name index: by their bytes with ASCII letters folded to lower case.
// ERROR_SUCCESS when every such name was visited or `visit` ended it, else the failure, which may
// come after some names were visited. A visitor may call the registry functions.
VELMORA_PLATFORM_API LONG VelmoraEnumValueNamesBeginningWith(HKEY key, const char* prefix,
                                                             VelmoraValueNameVisitor visit,
                                                             void* context);
#endif
