// The latest fault of each store, recorded where the registry stand-in meets one and read by
// programs through store_faults.h; the one table from SQLite's results to faults, whose status
// follows from the fault; and the failure hooks that make a store fail on purpose.
#pragma once

#include <string>

#include "../store_faults.h"
#include "windows_api.h"

namespace velmora::registry {

// What a store keeps, as its user calls it: "your names", or "your temporary names".
std::string NamesOf(int store);

// Records a fault of `store` as `text`: one line in the user's words that names the file or
// folder, says what is wrong, and what to do about it where there is something to do. Both
// Record functions give StatusOfFault(kind).
LONG RecordFaultText(int store, int kind, const std::string& text);
// Records a fault of `store` in the words of its kind: `path` names the file or folder,
// `detail` (may be empty) adds what the system said, and `todo` (may be empty) what to do where
// the kind's own advice does not fit.
LONG RecordFault(int store, int kind, const std::string& path, const std::string& detail = "",
                 const std::string& todo = "");

// The registry's status for a fault of this kind.
LONG StatusOfFault(int kind);
// The fault SQLite's result `rc` stands for: none for a success, nor for a lack of memory,
// which is the process's and no store's; and the registry's status for it.
int FaultOfSqlite(int rc);
LONG StatusOfSqlite(int rc);

// Copies `line` into a caller's `text` of `size` bytes, cut to fit with its terminator.
void CopyLine(const std::string& line, char* text, size_t size);

// ERROR_SUCCESS unless a failure hook makes `store` fail, or its writes when `write`; then the
// status of the chosen fault, which is recorded against `path`.
LONG HookedFailure(int store, const std::string& path, bool write = false);

}  // namespace velmora::registry
