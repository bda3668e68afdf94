// One transaction over the Linux name store, for a program that changes many names at once and
// wants all of the change or none of it (an import). POSIX only: on Windows the module uses the
// system's registry, which offers it no such thing.
#pragma once

#ifndef _WIN32
#include "posix/windows_api.h"

// Opens a transaction: every registry write this process makes from now on goes into it, on
// each database it touches (taking that database's write lock at its first write), and none is
// seen by other processes before the end. A write whose lock cannot be had gives ERROR_BUSY.
// ERROR_INVALID_FUNCTION when a transaction is open already.
VELMORA_PLATFORM_API LONG VelmoraBeginStoreTransaction(void);
// Commits (commit != 0) or rolls back every write since the begin; reads inside see them. Keys
// created inside are gone after a rollback, and a handle open on one then gives
// ERROR_KEY_DELETED. The persistent and the volatile database commit one after the other: in
// the rare case that the second fails, the first stays committed. ERROR_INVALID_FUNCTION when
// no transaction is open.
VELMORA_PLATFORM_API LONG VelmoraEndStoreTransaction(int commit);
#endif
