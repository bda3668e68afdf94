// Failure hooks of the POSIX stand-ins, for tests: they make the platform refuse what it would
// otherwise grant, so that every failure path of the module can be driven on purpose. The
// Windows system offers no such hooks; tests that need them run on POSIX builds only.
#pragma once

#include <cstddef>

#ifndef _WIN32
#define VELMORA_HOOK_API extern "C" __attribute__((visibility("default")))

// The Nth heap request from now (HeapAlloc or HeapReAlloc, counting from 1) returns none;
// 0 switches the hook off. Only that one request fails.
VELMORA_HOOK_API void VelmoraFailHeapRequest(unsigned n);
// Heap requests made since the process started; lets a test find the Nth one to refuse.
VELMORA_HOOK_API unsigned VelmoraHeapRequests(void);
// Blocks handed out and not yet released.
VELMORA_HOOK_API size_t VelmoraLiveHeapBlocks(void);
// RegCreateKeyExA fails for this path below HKEY_CURRENT_USER (letter case ignored);
// none switches the hook off.
VELMORA_HOOK_API void VelmoraFailKeyOpen(const char* path);
// Registry keys opened and not yet closed.
VELMORA_HOOK_API size_t VelmoraOpenKeys(void);
// Every registry call that touches `store` (a VelmoraStoreId) fails from now on as a fault of
// `kind` (a VelmoraStoreFaultKind) would make it: with that kind's status, and with the fault
// recorded for VelmoraStoreFault. kStoreFaultNone switches the hook off for the store.
VELMORA_HOOK_API void VelmoraFailStore(int store, int kind);
// Every write to `store` fails from now on as a fault of `kind` would make it, and so does every
// opening that would make its file or schema: what a full or failing disk does to a store that
// is still read. kStoreFaultNone switches the hook off for the store.
VELMORA_HOOK_API void VelmoraFailStoreWrites(int store, int kind);
// Waits for a store's write lock that ended in vain, the call then failing as busy, since the
// process started.
VELMORA_HOOK_API unsigned VelmoraLockWaitsInVain(void);
#endif
