// One transaction over the Linux name store, for a program that changes many names at once and
// wants all of the change or none of it (an import), and no write at all for one that only
// reads. POSIX only: on Windows the module uses the
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
// ERROR_KEY_DELETED. Every database writes what it was given out to its disk before either
// commits, so that a full or failing disk rolls both back. They commit one after the other, the
// persistent one first: should the volatile one's commit fail even so (it needs room for one
// page more), the persistent one stays committed, as VelmoraCommittedStores tells.
// ERROR_INVALID_FUNCTION when no transaction is open.
VELMORA_PLATFORM_API LONG VelmoraEndStoreTransaction(int commit);
// From now on this process writes nothing to either store: every write is refused with
// ERROR_ACCESS_DENIED, makes no file, key or fault, and waits for no lock. For a program that
// only reads, whose module would otherwise write the defaults of missing settings at its start.
VELMORA_PLATFORM_API void VelmoraKeepStoresUnwritten(void);
// The stores whose writes the last VelmoraEndStoreTransaction committed, a bit (1 << a
// VelmoraStoreId) each.
VELMORA_PLATFORM_API unsigned VelmoraCommittedStores(void);
#endif
