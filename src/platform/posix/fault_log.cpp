// The store's fault record: one line per store, overwritten by each new fault and kept until
// a program clears it, so that a program can ask after a failed call what went wrong.
#include "fault_log.h"

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

const char* WhatIsWrong(int kind) {
    switch (kind) {
        case kStoreFaultCannotOpen:
            return "cannot be opened";
        case kStoreFaultNotOurs:
            return "is not ours";
        case kStoreFaultDamaged:
            return "is damaged";
        case kStoreFaultReadOnly:
            return "is read-only";
        case kStoreFaultFull:
            return "cannot grow: the disk is full";
        case kStoreFaultBusy:
            return "is busy: another process kept its write lock";
        case kStoreFaultNoHome:
            return "has no home folder to live in";
        default:
            return "cannot be read or written";
    }
}

// What a person can do about a fault, where the one who records it knows no more. A store file
// found damaged is never written again, but what can still be read of it can be saved; moved
// aside with the files SQLite keeps beside it, it leaves room for a new store, which the saved
// names fill again.
const char* NextStep(int kind) {
    return kind == kStoreFaultDamaged
               ? "; velmora export --salvage FILE saves every entry that can still be read, then "
                 "move it aside, with its -wal and -shm files, to start a new store, and velmora "
                 "import FILE"
               : "";
}

}  // namespace

namespace velmora::registry {

void RecordFault(int store, int kind, const std::string& path, const std::string& detail) {
    if (!ValidStore(store) || kind == kStoreFaultNone) {
        return;
    }
    std::string text = (path.empty() ? std::string("the store") : path) + " " + WhatIsWrong(kind);
    text += detail.empty() ? NextStep(kind) : ": " + detail;
    // One line, whatever a path may hold.
    std::replace(text.begin(), text.end(), '\n', ' ');
    std::lock_guard<std::mutex> lock(faultMutex);
    faults[store] = Fault{kind, std::move(text)};
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

LONG HookedFailure(int store, const std::string& path) {
    int kind = ValidStore(store) ? hookedFaults[store].load() : kStoreFaultNone;
    RecordFault(store, kind, path);
    return StatusOfFault(kind);
}

LONG HookedWriteFailure(int store, const std::string& path) {
    int kind = HookedWriteFault(store);
    RecordFault(store, kind, path);
    return StatusOfFault(kind);
}

int HookedWriteFault(int store) {
    return ValidStore(store) ? hookedWriteFaults[store].load() : kStoreFaultNone;
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
