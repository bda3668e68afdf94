// What went wrong with the Linux name store, for programs to tell their user. The registry's
// status codes cannot say which file is at fault or how, so the stand-in records the latest
// fault of each store here. POSIX only: on Windows the system's registry has no such files.
#pragma once

#include <stddef.h>

#ifndef _WIN32
#define VELMORA_STORE_API extern "C" __attribute__((visibility("default")))

// Which store: the persistent one (names, filters, settings) or the volatile one.
enum VelmoraStoreId { kVelmoraPersistentStore = 0, kVelmoraVolatileStore = 1 };

// The kinds of fault. A missing value or key is no fault.
enum VelmoraStoreFaultKind {
    kStoreFaultNone = 0,
    // The file or a folder on its way cannot be made or opened.
    kStoreFaultCannotOpen,
    // A shared folder (the fallback below /tmp) belongs to another user, is open to others or
    // is a link.
    kStoreFaultNotOurs,
    // The file is not a store, or a damaged one.
    kStoreFaultDamaged,
    kStoreFaultReadOnly,
    kStoreFaultFull,
    // Another process held the write lock for longer than a write waits.
    kStoreFaultBusy,
    // No home folder to keep the persistent store in.
    kStoreFaultNoHome,
    // Reading or writing the file failed below SQLite (a failing disk, a vanished mount).
    kStoreFaultIoError,
};

// The latest fault of `store` since the faults were last cleared: its kind, and in `text`
// (cut to `size` bytes with its terminator) one line that names the file or folder and
// says what is wrong, e.g. "/home/u/.config/velmora/registry/hkcu.db is damaged".
VELMORA_STORE_API int VelmoraStoreFault(int store, char* text, size_t size);
VELMORA_STORE_API void VelmoraClearStoreFaults(void);
// Takes the next notice about where the stores live that is no fault, such as an environment
// variable that was ignored, into `text` as VelmoraStoreFault does; 0 when none is left. Each
// notice is given once in a process, however often the stores are opened.
VELMORA_STORE_API int VelmoraTakeStoreNotice(char* text, size_t size);
#endif
