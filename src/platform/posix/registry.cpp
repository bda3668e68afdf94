// The registry functions on POSIX, below HKEY_CURRENT_USER. Persistent keys live in one
// database, volatile keys in a second one under the user's runtime directory, which is emptied
// when the user's last session ends: that is how a volatile key does not outlive the logon
// (stores.h). An open key handle names its database and carries its enumeration.
#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "../store_salvage.h"
#include "../store_transaction.h"
#include "../test_hooks.h"
#include "../value_prefix.h"
#include "registry_db.h"
#include "stores.h"
#include "value_salvage.h"

using namespace velmora::registry;

namespace {

// An enumeration reads values ahead in runs and delivers them one per call: a read costs a
// transaction, three system calls, which one per value would make 1.7 s of a walk over 100,000
// names (17 µs each measured here) where the program's `--names` has 80 ms. A run holds the
// values as they were when it was read; this process's own writes start a new one. The first
// run is short, so a caller that stops early has not paid for a long read, and each run after
// it twice as long up to the most.
constexpr DWORD kFirstRun = 16;
constexpr DWORD kLongestRun = 1024;
// How many names an enumeration by prefix reads at once.
constexpr DWORD kNamesPerRun = 512;

struct ValueWalk {
    // Where the last enumeration stopped, so that the next index continues from there.
    DWORD nextIndex = 0;
    int64_t afterSeq = -1;
    // The run: `run[pos - 1]` was delivered last. It stands for the database while the
    // connection's own changes are still `changes`.
    std::vector<ValueRow> run;
    size_t pos = 0;
    uint64_t changes = 0;
    DWORD limit = 0;
    // A walk reads names alone until its caller shows that it reads each value as well, by
    // asking for the types or data or by querying the value it was just given.
    bool readsValues = false;
    bool runHasValues = false;
};

}  // namespace

struct HKEY__ {
    HKEY__(std::string keyPath, bool volatileOption)
        : path(std::move(keyPath)), isVolatile(volatileOption) {}

    std::string path;
    // The option the key was asked for with; it counts only when the key is made.
    bool isVolatile;
    // Where the key is; empty while it exists in no store, until the first write makes it.
    std::shared_ptr<Database> db;
    int64_t id = 0;
    // Handed out inside a transaction for a key that existed nowhere: the key counts as made
    // there, and a rollback takes it away.
    bool pendingInTransaction = false;
    // The key was created in a transaction that was rolled back.
    bool deleted = false;
    // The keys this process had made when the key was last looked for in the stores.
    uint64_t lookedAfter = 0;
    ValueWalk walk;
};

namespace {

std::recursive_mutex registryMutex;
std::set<HKEY> openKeys;
std::string failingKeyPath;
bool keepUnwritten = false;
// Keys this process has made. A handle on a key that existed nowhere looks for it again only
// after one was made: its reads see what another handle of the process wrote since, and,
// like reads just before another process made the key, nothing of that process's. Looking
// again at every read cost the settings' seven reads about 40 file-system calls at every start
// of the program where no settings were ever written: a jump at 100,000 names took 3.2 ms
// against 2.95 ms.
uint64_t keysMade = 0;

// Binds `key` to where its key is now, and starts its walk anew when that changed; a finder's
// status passes through.
LONG Bind(HKEY key, LONG found, std::shared_ptr<Database> db, int64_t id) {
    if (found == ERROR_SUCCESS && (db != key->db || id != key->id)) {
        key->db = std::move(db);
        key->id = id;
        key->walk = ValueWalk();
    }
    return found;
}

// ERROR_SUCCESS when `key` is an open handle whose key still exists.
LONG Usable(HKEY key) {
    if (openKeys.count(key) == 0) {
        return ERROR_INVALID_HANDLE;
    }
    return key->deleted ? ERROR_KEY_DELETED : ERROR_SUCCESS;
}

// ERROR_SUCCESS when `key` can be read; `key->db` is empty when its key exists nowhere yet,
// which reads take as a key without values.
LONG Readable(HKEY key) {
    LONG status = Usable(key);
    if (status == ERROR_SUCCESS && !key->db && key->lookedAfter != keysMade) {
        std::shared_ptr<Database> db;
        int64_t id = 0;
        key->lookedAfter = keysMade;
        LONG found = LocateKey(key->path, key->isVolatile, &db, &id);
        status = Bind(key, found, db, id);
    }
    return status;
}

// ERROR_SUCCESS when `key` can be written, its key made by this first write where it existed
// nowhere, and the write part of the open transaction.
LONG Writable(HKEY key) {
    LONG status = Usable(key);
    if (status == ERROR_SUCCESS && keepUnwritten) {
        return ERROR_ACCESS_DENIED;
    }
    if (status == ERROR_SUCCESS && !key->db) {
        std::shared_ptr<Database> db;
        int64_t id = 0;
        LONG made = CreateKeyOnFirstWrite(key->path, key->isVolatile, &db, &id);
        keysMade += made == ERROR_SUCCESS;
        status = Bind(key, made, db, id);
    }
    return status == ERROR_SUCCESS ? JoinTransaction(key->db) : status;
}

// Opens a handle on `path`, bound to the key where it exists.
HKEY NewKey(const std::string& path, bool isVolatile, std::shared_ptr<Database> db, int64_t id) {
    HKEY key = new HKEY__(path, isVolatile);
    key->lookedAfter = keysMade;
    Bind(key, ERROR_SUCCESS, std::move(db), id);
    openKeys.insert(key);
    return key;
}

// Copies `size` bytes into a caller's buffer of `*capacity` bytes, the registry's way: the
// needed size is always reported, and a buffer too small gets ERROR_MORE_DATA.
LONG CopyOut(const std::string& bytes, LPBYTE buffer, LPDWORD capacity) {
    if (capacity == nullptr) {
        return buffer != nullptr ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
    }
    DWORD room = *capacity;
    *capacity = static_cast<DWORD>(bytes.size());
    if (buffer == nullptr) {
        return ERROR_SUCCESS;
    }
    if (room < bytes.size()) {
        return ERROR_MORE_DATA;
    }
    std::memcpy(buffer, bytes.data(), bytes.size());
    return ERROR_SUCCESS;
}

// Value `index` of `key`, with RegEnumValueA's arguments and status codes.
LONG Enumerate(HKEY key, DWORD index, LPSTR name, LPDWORD nameChars, LPDWORD type, LPBYTE data,
               LPDWORD dataSize) {
    ValueWalk& walk = key->walk;
    bool continues = index == walk.nextIndex && walk.afterSeq >= 0;
    walk.readsValues = (continues && walk.readsValues) || type || data || dataSize;
    bool changed = walk.changes != key->db->Changes();
    if (!continues || changed || walk.pos >= walk.run.size() ||
        (walk.readsValues && !walk.runHasValues)) {
        // A change in between starts again from a single value, so that a caller that writes
        // as it walks reads no more than one value per call.
        walk.limit = !continues ? kFirstRun : changed ? 1 : std::min(walk.limit * 2, kLongestRun);
        walk.changes = key->db->Changes();
        walk.pos = 0;
        walk.runHasValues = walk.readsValues;
        using Query = Database::Query;
        Query query = continues
                          ? (walk.readsValues ? Query::kValuesAfterSeq : Query::kNamesAfterSeq)
                          : (walk.readsValues ? Query::kValuesAtOffset : Query::kNamesAtOffset);
        LONG status = key->db->Values(query, key->id, {continues ? walk.afterSeq : index},
                                      walk.limit, &walk.run);
        if (status != ERROR_SUCCESS) {
            walk.run.clear();
            return status;
        }
    }
    const ValueRow& row = walk.run[walk.pos];
    DWORD needed = static_cast<DWORD>(row.name.size()) + 1;
    if (*nameChars < needed) {
        *nameChars = needed;
        return ERROR_MORE_DATA;
    }
    std::memcpy(name, row.name.c_str(), needed);
    *nameChars = needed - 1;
    if (type != nullptr) {
        *type = row.type;
    }
    LONG status = CopyOut(row.data, data, dataSize);
    if (status == ERROR_SUCCESS) {
        walk.nextIndex = index + 1;
        walk.afterSeq = row.seq;
        ++walk.pos;
    }
    return status;
}

// Opens a handle on a key, which its first write makes where it exists nowhere, so that a
// look-up writes nothing; with `existing`, only on a key that exists (ERROR_FILE_NOT_FOUND else).
LONG OpenKey(HKEY base, LPCSTR subKey, bool isVolatile, bool existing, PHKEY result,
             LPDWORD disposition) {
    std::lock_guard<std::recursive_mutex> lock(registryMutex);
    if (result == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    // Every caller names a key by its whole path below HKEY_CURRENT_USER, which is the key's
    // name in the store.
    if (base != HKEY_CURRENT_USER) {
        return ERROR_INVALID_HANDLE;
    }
    std::string path = subKey != nullptr ? subKey : "";
    if (!existing && !failingKeyPath.empty() && AsciiFolded(path) == AsciiFolded(failingKeyPath)) {
        return ERROR_ACCESS_DENIED;
    }
    std::shared_ptr<Database> db;
    int64_t id = 0;
    LONG status = LocateKey(path, isVolatile, &db, &id);
    if (status != ERROR_SUCCESS || (existing && !db)) {
        return status != ERROR_SUCCESS ? status : ERROR_FILE_NOT_FOUND;
    }
    if (disposition != nullptr) {
        *disposition = db ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
    }
    *result = NewKey(path, isVolatile, db, id);
    (*result)->pendingInTransaction = !db && TransactionOpen();
    return ERROR_SUCCESS;
}

}  // namespace

LONG RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, LPSTR, DWORD dwOptions, REGSAM,
                     LPSECURITY_ATTRIBUTES, PHKEY phkResult, LPDWORD lpdwDisposition) {
    return OpenKey(hKey, lpSubKey, (dwOptions & REG_OPTION_VOLATILE) != 0, false, phkResult,
                   lpdwDisposition);
}

// The module never calls it: tests and the benchmark look at a key with it, on both systems,
// without making one and past the failure hook of RegCreateKeyExA.
LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM, PHKEY phkResult) {
    return OpenKey(hKey, lpSubKey, false, true, phkResult, nullptr);
}

LONG RegCloseKey(HKEY hKey) {
    std::lock_guard<std::recursive_mutex> lock(registryMutex);
    if (hKey == HKEY_CURRENT_USER) {
        return ERROR_SUCCESS;
    }
    if (openKeys.erase(hKey) == 0) {
        return ERROR_INVALID_HANDLE;
    }
    delete hKey;
    return ERROR_SUCCESS;
}

LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData,
                    DWORD cbData) {
    std::lock_guard<std::recursive_mutex> lock(registryMutex);
    LONG status = Usable(hKey);
    if (status == ERROR_SUCCESS && lpData == nullptr && cbData != 0) {
        return ERROR_INVALID_PARAMETER;
    }
    status = status == ERROR_SUCCESS ? Writable(hKey) : status;
    return status == ERROR_SUCCESS ? hKey->db->SetValue(hKey->id, lpValueName ? lpValueName : "",
                                                        dwType, lpData, cbData)
                                   : status;
}

LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD, LPDWORD lpType, LPBYTE lpData,
                      LPDWORD lpcbData) {
    std::lock_guard<std::recursive_mutex> lock(registryMutex);
    if (LONG status = Readable(hKey); status != ERROR_SUCCESS) {
        return status;
    }
    if (!hKey->db) {
        return ERROR_FILE_NOT_FOUND;
    }
    const char* name = lpValueName != nullptr ? lpValueName : "";
    // A walk over a key reads each value right after enumerating its name: the value just
    // delivered comes from the run, and the runs after it bring the values along.
    ValueWalk& walk = hKey->walk;
    ValueRow row;
    LONG status = ERROR_SUCCESS;
    bool last = walk.pos > 0 && walk.changes == hKey->db->Changes() &&
                AsciiFolded(walk.run[walk.pos - 1].name) == AsciiFolded(name);
    walk.readsValues = walk.readsValues || last;
    if (last && walk.runHasValues) {
        row = walk.run[walk.pos - 1];
    } else {
        status = hKey->db->GetValue(hKey->id, name, &row);
    }
    if (status == ERROR_SUCCESS && lpType != nullptr) {
        *lpType = row.type;
    }
    return status == ERROR_SUCCESS ? CopyOut(row.data, lpData, lpcbData) : status;
}

LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) {
    std::lock_guard<std::recursive_mutex> lock(registryMutex);
    LONG status = Readable(hKey);
    if (status == ERROR_SUCCESS && !hKey->db) {
        return ERROR_FILE_NOT_FOUND;
    }
    status = status == ERROR_SUCCESS ? Writable(hKey) : status;
    return status == ERROR_SUCCESS
               ? hKey->db->DeleteValue(hKey->id, lpValueName != nullptr ? lpValueName : "")
               : status;
}

LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName, LPDWORD,
                   LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
    std::lock_guard<std::recursive_mutex> lock(registryMutex);
    if (LONG status = Readable(hKey); status != ERROR_SUCCESS) {
        return status;
    }
    if (lpValueName == nullptr || lpcchValueName == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    if (!hKey->db) {
        return ERROR_NO_MORE_ITEMS;
    }
    return Enumerate(hKey, dwIndex, lpValueName, lpcchValueName, lpType, lpData, lpcbData);
}

// Callers ask for the number of values and the longest name and data. The stand-in keeps no
// subkeys, classes, security or times of a key, and refuses a question for them rather than
// answer it wrongly.
LONG RegQueryInfoKeyA(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass, LPDWORD, LPDWORD lpcSubKeys,
                      LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen, LPDWORD lpcValues,
                      LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen,
                      LPDWORD lpcbSecurityDescriptor, PFILETIME lpftLastWriteTime) {
    std::lock_guard<std::recursive_mutex> lock(registryMutex);
    LONG status = Readable(hKey);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    if (lpClass || lpcchClass || lpcSubKeys || lpcbMaxSubKeyLen || lpcbMaxClassLen ||
        lpcbSecurityDescriptor || lpftLastWriteTime) {
        return ERROR_INVALID_PARAMETER;
    }
    DWORD values = 0, maxName = 0, maxData = 0;
    if (hKey->db) {
        status = hKey->db->ValueStats(hKey->id, &values,
                                      lpcbMaxValueNameLen != nullptr ? &maxName : nullptr,
                                      lpcbMaxValueLen != nullptr ? &maxData : nullptr);
    }
    std::pair<LPDWORD, DWORD> fields[] = {
        {lpcValues, values}, {lpcbMaxValueNameLen, maxName}, {lpcbMaxValueLen, maxData}};
    for (auto [field, value] : fields) {
        if (status == ERROR_SUCCESS && field != nullptr) {
            *field = value;
        }
    }
    return status;
}

LONG VelmoraValueNameBeginsWith(HKEY key, const char* prefix) {
    auto any = [](const char*, void* found) {
        *static_cast<bool*>(found) = true;
        return 0;
    };
    bool found = false;
    LONG status = VelmoraEnumValueNamesBeginningWith(key, prefix, any, &found);
    return status == ERROR_SUCCESS && !found ? ERROR_FILE_NOT_FOUND : status;
}

LONG VelmoraEnumValueNamesBeginningWith(HKEY key, const char* prefix, VelmoraValueNameVisitor visit,
                                        void* context) {
    std::lock_guard<std::recursive_mutex> lock(registryMutex);
    if (visit == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    if (LONG status = Readable(key); status != ERROR_SUCCESS || !key->db) {
        return status;
    }
    // Names are read a run at a time and visited with no read open, so that a visitor that is
    // slow to take them (a shell reading a pipe) keeps no transaction open meanwhile; each run
    // goes on behind the last name of the one before, which the unique name index places.
    std::shared_ptr<Database> db = key->db;
    std::string folded = AsciiFolded(prefix != nullptr ? prefix : "");
    std::string after = folded;
    std::vector<ValueRow> names;
    // The first run is one name: a question whether there is any asks for no more.
    DWORD limit = 1;
    for (auto query = Database::kNamesFromName;; query = Database::kNamesAfterName) {
        LONG status = db->Values(query, key->id, {0, &after}, limit, &names);
        if (status != ERROR_SUCCESS) {
            return status == ERROR_NO_MORE_ITEMS ? ERROR_SUCCESS : status;
        }
        for (const ValueRow& name : names) {
            if (AsciiFolded(name.name.substr(0, folded.size())) != folded ||
                visit(name.name.c_str(), context) == 0) {
                return ERROR_SUCCESS;
            }
        }
        if (names.size() < limit) {
            return ERROR_SUCCESS;
        }
        after = names.back().name;
        limit = kNamesPerRun;
    }
}

LONG VelmoraSalvageValues(HKEY key, VelmoraSalvagedValue visit, void* context, DWORD* unfound) {
    std::lock_guard<std::recursive_mutex> lock(registryMutex);
    if (visit == nullptr || unfound == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    *unfound = 0;
    if (LONG status = Readable(key); status != ERROR_SUCCESS || !key->db) {
        return status;
    }
    std::vector<SalvagedValue> values;
    LONG status = SalvageValues(*key->db, key->id, &values, unfound);
    for (size_t i = 0; status == ERROR_SUCCESS && i < values.size(); ++i) {
        const auto& value = values[i];
        const BYTE* data =
            value.readable ? reinterpret_cast<const BYTE*>(value.data.data()) : nullptr;
        if (visit(value.name.c_str(), value.type, data, static_cast<DWORD>(value.data.size()),
                  context) == 0) {
            break;
        }
    }
    return status;
}

LONG VelmoraBeginStoreTransaction(void) {
    std::lock_guard<std::recursive_mutex> lock(registryMutex);
    return BeginTransaction();
}

LONG VelmoraEndStoreTransaction(int commit) {
    std::lock_guard<std::recursive_mutex> lock(registryMutex);
    LONG status = EndTransaction(commit != 0);
    if (status == ERROR_INVALID_FUNCTION) {
        return status;
    }
    // The keys created inside are gone again after a rollback; a handle open on one must not
    // write into it, for a later key may take its number.
    bool rolledBack = commit == 0 || status != ERROR_SUCCESS;
    for (HKEY key : openKeys) {
        if (rolledBack && key->db) {
            int64_t id = 0;
            LONG found = key->db->FindKey(key->path, &id);
            key->deleted = key->deleted || found == ERROR_FILE_NOT_FOUND ||
                           (found == ERROR_SUCCESS && id != key->id);
        }
        key->deleted = key->deleted || (rolledBack && key->pendingInTransaction);
        key->pendingInTransaction = false;
    }
    return status;
}

void VelmoraKeepStoresUnwritten(void) {
    std::lock_guard<std::recursive_mutex> lock(registryMutex);
    keepUnwritten = true;
}

unsigned VelmoraCommittedStores(void) {
    std::lock_guard<std::recursive_mutex> lock(registryMutex);
    return CommittedStores();
}

void VelmoraFailKeyOpen(const char* path) {
    std::lock_guard<std::recursive_mutex> lock(registryMutex);
    failingKeyPath = path != nullptr ? path : "";
}

size_t VelmoraOpenKeys(void) {
    std::lock_guard<std::recursive_mutex> lock(registryMutex);
    return openKeys.size();
}
