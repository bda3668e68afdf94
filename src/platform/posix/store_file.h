// The database file of a store as found on disk before SQLite opens it: whether it is there,
// whether it and the WAL files beside it are the user's own, and whether the user keeps it from
// being written. Nothing here opens a descriptor of these files: closing any descriptor of a
// file drops every lock the process holds on it, SQLite's included.
#pragma once

#include <sys/stat.h>

#include <string>

#include "windows_api.h"

namespace velmora::registry {

struct StoreFileState {
    bool present = false;
    // The file or its folder lacks the owner's write permission, or lies on a file system
    // mounted read-only: the store is read and never written.
    bool readOnly = false;
};

// Judges `file`, the database of `store`. A missing file gives ERROR_FILE_NOT_FOUND and no fault
// unless `create`; a missing or empty file beside a WAL that holds data is not a new store.
// ERROR_SUCCESS, or the status of the fault recorded.
LONG JudgeStoreFile(int store, const std::string& file, bool create, StoreFileState* state);

// Fills `info` for the file SQLite has opened at `file`. A file still empty is one SQLite has
// just made, with mode 0644 less the umask; it is made 0600 here, before anything is written and
// before SQLite makes the WAL files, which take the database file's mode. ERROR_SUCCESS, or the
// status of the fault recorded.
LONG SecureOpenedFile(int store, const std::string& file, struct stat* info);

// Records that `file`, the database of `store`, cannot be written, saying what keeps it from
// being written (the file, its folder, or the disk) and how to change that; the fault's status.
LONG RecordReadOnly(int store, const std::string& file);

// Why a new file cannot be made in `folder` (ending in '/'), found without making one: the
// folder cannot be written, or its file system is read-only or has no room for another file.
// Empty when none of these holds.
std::string WhyNoFileCanBeMade(const std::string& folder);

}  // namespace velmora::registry
