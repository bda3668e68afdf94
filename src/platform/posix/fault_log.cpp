// The store's fault record: one line per store, overwritten by each new fault and kept until
// a program clears it, so that a program can ask after a failed call what went wrong; and the
// words and status of each kind of fault.
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

// Each kind's status, its words for what is wrong with {path}, which keeps {names}, and what a
// person can do about it where the one who records the fault knows no more. A file found
// damaged is never written again, but what can still be read of it can be saved; its folder,
// which holds the files SQLite keeps beside it, moved aside leaves room for a new one, which the
// saved names fill again. In the order of VelmoraStoreFaultKind.
struct Kind {
    LONG status;
    const char* what;
    const char* next;
};
const Kind kKinds[] = {
    {ERROR_SUCCESS, "", ""},
    {ERROR_CANTOPEN, "cannot open {names} in {path}", ""},
    {ERROR_ACCESS_DENIED, "cannot keep {names} in {path}", ""},
    {ERROR_BADDB, "{names} are in a damaged file ({path})",
     "save what can still be read with `velmora export --salvage FILE`, move the folder "
     "{folder} aside, and run `velmora import FILE`"},
    {ERROR_CANTWRITE, "cannot change {names}: {path} is read-only",
     "make it writable to change them"},
    {ERROR_CANTWRITE, "cannot change {names}: the disk that holds {path} is full",
     "make room on it and try again"},
    {ERROR_BUSY,
     "{names} are busy: another program has been changing {path} for longer than velmora waits",
     "try again in a moment"},
    {ERROR_CANTOPEN, "cannot find a home folder to keep {names} in ({path})", ""},
    {ERROR_CANTWRITE, "cannot read or write {names} in {path}", ""},
};
static_assert(std::size(kKinds) == kStoreFaultIoError + 1, "a kind's words for each fault");

const Kind& KindOf(int kind) {
    return kKinds[kind >= 0 && kind < static_cast<int>(std::size(kKinds)) ? kind
                                                                          : kStoreFaultIoError];
}

// `text` with each {word} of `words` (pairs of a word and its text) put in, in one pass, so
// that a path which itself holds "{path}" is put in as it stands.
std::string Filled(const char* text,
                   std::initializer_list<std::pair<const char*, std::string>> words) {
    std::string filled;
    for (const char* at = text; *at != '\0';) {
        const auto* word = std::find_if(words.begin(), words.end(), [at](const auto& pair) {
            return std::strncmp(at, pair.first, std::strlen(pair.first)) == 0;
        });
        if (word != words.end()) {
            filled += word->second;
            at += std::strlen(word->first);
        } else {
            filled += *at++;
        }
    }
    return filled;
}

}  // namespace

namespace velmora::registry {

std::string NamesOf(int store) {
    return store == kVelmoraVolatileStore ? "your temporary names" : "your names";
}

LONG RecordFaultText(int store, int kind, const std::string& text) {
    if (ValidStore(store) && kind != kStoreFaultNone) {
        std::string line = text;
        // One line, whatever a path may hold.
        std::replace(line.begin(), line.end(), '\n', ' ');
        std::lock_guard<std::mutex> lock(faultMutex);
        faults[store] = Fault{kind, std::move(line)};
    }
    return StatusOfFault(kind);
}

LONG RecordFault(int store, int kind, const std::string& path, const std::string& detail,
                 const std::string& todo) {
    if (kind == kStoreFaultNone) {
        return ERROR_SUCCESS;
    }
    // Only the kind's own words are filled: a detail or a path may hold any braces.
    auto fill = [&](const char* text) {
        return Filled(text, {{"{names}", NamesOf(store)},
                             {"{path}", path},
                             {"{folder}", path.substr(0, path.rfind('/'))}});
    };
    std::string next = todo.empty() ? fill(KindOf(kind).next) : todo;
    return RecordFaultText(store, kind,
                           fill(KindOf(kind).what) + (detail.empty() ? "" : ": " + detail) +
                               (next.empty() ? "" : "; " + next));
}

LONG StatusOfFault(int kind) {
    return KindOf(kind).status;
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

LONG HookedFailure(int store, const std::string& path, bool write) {
    int kind = ValidStore(store) ? hookedFaults[store].load() : kStoreFaultNone;
    if (kind == kStoreFaultNone && write && ValidStore(store)) {
        kind = hookedWriteFaults[store];
    }
    return RecordFault(store, kind, path);
}

void CopyLine(const std::string& line, char* text, size_t size) {
    if (text != nullptr && size > 0) {
        size_t length = std::min(line.size(), size - 1);
        std::memcpy(text, line.data(), length);
        text[length] = '\0';
    }
}

}  // namespace velmora::registry

int VelmoraStoreFault(int store, char* text, size_t size) {
    std::lock_guard<std::mutex> lock(faultMutex);
    Fault fault = ValidStore(store) ? faults[store] : Fault();
    velmora::registry::CopyLine(fault.text, text, size);
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
