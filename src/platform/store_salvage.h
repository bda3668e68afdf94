// Saving what is left of a damaged Linux name store: the values of a key that can still be read
// where a walk stops at the first damaged page, for a program that writes them out before the
// store is given up (velmora export --salvage). Nothing is written to the store. POSIX only: the
// system's registry mends itself.
#pragma once

#ifndef _WIN32
#include "posix/windows_api.h"

// Called with each value found; `data` is null when its name alone could be read. A return of 0
// ends the walk.
typedef int (*VelmoraSalvagedValue)(const char* name, DWORD type, const BYTE* data, DWORD size,
                                    void* context);
// Calls `visit` with every value of `key` that can be found, in first-written order, read past
// every damaged part of the store. `*unfound` comes back as the number of damaged parts where
// values may have been lost together with their names, so that none can be told. ERROR_SUCCESS,
// or the failure that kept every value of the key from being read.
VELMORA_PLATFORM_API LONG VelmoraSalvageValues(HKEY key, VelmoraSalvagedValue visit, void* context,
                                               DWORD* unfound);
#endif
