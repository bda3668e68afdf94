// The store's fault record: one line per store, overwritten by each new fault and kept until
// a program clears it, so that a program can ask after a failed call what went wrong; and the
// one table from SQLite's results to faults and statuses.
#include "fault_log.h"

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>

#include "../test_hooks.h"

namespace {

constexpr int kStoreCount = 2;

struct Fault {
    int kind = kStoreFaultNone;
    std::string text;
};

std::mutex faultMutex;
Fault faults[kStoreCount];
std::atomic<int> hookedFaults[kStoreCount];
std::atomic<int> hookedWriteFaults[kStoreCount];

bool ValidStore(int store) {
    return store >= 0 && store < kStoreCount;
}

// The kind's words for what is wrong with `path`, which keeps `names`.
std::string WhatIsWrong(int kind, const std::string& names, const std::string& path) {
    switch (kind) {
        case kStoreFaultCannotOpen:
            return "cannot open " + names + " in " + path;
        case kStoreFaultNotOurs:
            return "cannot keep " + names + " in " + path;
        case kStoreFaultDamaged:
            return names + " are in a damaged file (" + path + ")";
        case kStoreFaultReadOnly:
            return "cannot change " + names + ": " + path + " is read-only";
        case kStoreFaultFull:
            return "cannot change " + names + ": the disk that holds " + path + " is full";
        case kStoreFaultBusy:
            return names + " are busy: another program has been changing " + path +
                   " for longer than velmora waits";
        case kStoreFaultNoHome:
            return "cannot find a home folder to keep " + names + " in (" + path + ")";
        default:
            return "cannot read or write " + names + " in " + path;
    }
}

// What a person can do about a fault, where the one who records it knows no more. A file found
// damaged is never written again, but what can still be read of it can be saved; its folder,
// which holds the files SQLite keeps beside it, moved aside leaves room for a new one, which the
// saved names fill again.
std::string NextStep(int kind, const std::string& path) {
    switch (kind) {
        case kStoreFaultDamaged:
            return "save what can still be read with `velmora export --salvage FILE`, move the "
                   "folder " +
                   path.substr(0, path.rfind('/')) + " aside, and run `velmora import FILE`";
        case kStoreFaultReadOnly:
            return "make it writable to change them";
        case kStoreFaultFull:
            return "make room on it and try again";
        case kStoreFaultBusy:
            return "try again in a moment";
        default:
            return "";
    }
}

}  // namespace

namespace velmora::registry {

std::string NamesOf(int store) {
    return store == kVelmoraVolatileStore ? "your temporary names" : "your names";
}

void RecordFaultText(int store, int kind, const std::string& text) {
    if (!ValidStore(store) || kind == kStoreFaultNone) {
        return;
    }
    std::string line = text;
    // One line, whatever a path may hold.
    std::replace(line.begin(), line.end(), '\n', ' ');
    std::lock_guard<std::mutex> lock(faultMutex);
    faults[store] = Fault{kind, std::move(line)};
}

void RecordFault(int store, int kind, const std::string& path, const std::string& detail,
                 const std::string& todo) {
    std::string next = todo.empty() ? NextStep(kind, path) : todo;
    RecordFaultText(store, kind,
                    WhatIsWrong(kind, NamesOf(store), path) +
                        (detail.empty() ? "" : ": " + detail) + (next.empty() ? "" : "; " + next));
}

LONG StatusOfFault(int kind) {
    switch (kind) {
        case kStoreFaultNone:
            return ERROR_SUCCESS;
        case kStoreFaultNotOurs:
            return ERROR_ACCESS_DENIED;
        case kStoreFaultDamaged:
            return ERROR_BADDB;
        case kStoreFaultReadOnly:
        case kStoreFaultFull:
        case kStoreFaultIoError:
            return ERROR_CANTWRITE;
        case kStoreFaultBusy:
            return ERROR_BUSY;
        default:
            return ERROR_CANTOPEN;
    }
}

int FaultOfSqlite(int rc) {
    switch (rc & 0xFF) {
        case SQLITE_OK:
        case SQLITE_DONE:
        case SQLITE_ROW:
        case SQLITE_NOMEM:
            return kStoreFaultNone;
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return kStoreFaultBusy;
        case SQLITE_READONLY:
            return kStoreFaultReadOnly;
        case SQLITE_FULL:
            return kStoreFaultFull;
        case SQLITE_IOERR:
            return kStoreFaultIoError;
        case SQLITE_CANTOPEN:
        case SQLITE_PERM:
        case SQLITE_AUTH:
            return kStoreFaultCannotOpen;
        default:
            return kStoreFaultDamaged;
    }
}

LONG StatusOfSqlite(int rc) {
    return (rc & 0xFF) == SQLITE_NOMEM ? ERROR_NOT_ENOUGH_MEMORY : StatusOfFault(FaultOfSqlite(rc));
}

LONG HookedFailure(int store, const std::string& path) {
    int kind = ValidStore(store) ? hookedFaults[store].load() : kStoreFaultNone;
    RecordFault(store, kind, path);
    return StatusOfFault(kind);
}

LONG HookedWriteFailure(int store, const std::string& path) {
    int kind = ValidStore(store) ? hookedWriteFaults[store].load() : kStoreFaultNone;
    RecordFault(store, kind, path);
    return StatusOfFault(kind);
}

}  // namespace velmora::registry

int VelmoraStoreFault(int store, char* text, size_t size) {
    if (text != nullptr && size > 0) {
        text[0] = '\0';
    }
    if (!ValidStore(store)) {
        return kStoreFaultNone;
    }
    std::lock_guard<std::mutex> lock(faultMutex);
    const auto& fault = faults[store];
    if (text != nullptr && size > 0) {
        size_t length = std::min(fault.text.size(), size - 1);
        std::memcpy(text, fault.text.data(), length);
        text[length] = '\0';
    }
    return fault.kind;
}

void VelmoraClearStoreFaults(void) {
    std::lock_guard<std::mutex> lock(faultMutex);
    for (auto& fault : faults) {
        fault = {};
    }
}

void VelmoraFailStore(int store, int kind) {
    if (ValidStore(store)) {
        hookedFaults[store] = kind;
    }
}

void VelmoraFailStoreWrites(int store, int kind) {
    if (ValidStore(store)) {
        hookedWriteFaults[store] = kind;
    }
}
