// The registry functions on POSIX, below HKEY_CURRENT_USER. Persistent keys live in one
// database, volatile keys in a second one under the user's runtime directory, which is emptied
// when the user's last session ends: that is how a volatile key does not outlive the logon
// (stores.h). An open key handle names its database and carries its enumeration (value_walk.h).
#include <strings.h>

#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "../store_salvage.h"
#include "../store_transaction.h"
#include "../value_prefix.h"
#include "../test_hooks.h"
#include "key_creation.h"
#include "registry_db.h"
#include "stores.h"
#include "value_salvage.h"
#include "value_walk.h"

using velmora::registry::BeginTransaction;
using velmora::registry::CopyOut;
using velmora::registry::CountSubKeys;
using velmora::registry::CreatePendingKey;
using velmora::registry::Database;
using velmora::registry::EndTransaction;
using velmora::registry::FindKey;
using velmora::registry::JoinTransaction;
using velmora::registry::LocateKey;
using velmora::registry::SalvagedValue;
using velmora::registry::SalvageValues;
using velmora::registry::TransactionOpen;
using velmora::registry::ValueRow;
using velmora::registry::ValueWalk;

struct HKEY__ {
    HKEY__(std::string keyPath, bool volatileOption)
        : path(std::move(keyPath)), isVolatile(volatileOption) {}

    std::string path;
    // The option the key was asked for with; it counts only when the key is made.
    bool isVolatile;
    // Where the key is; empty while it exists in no store.
    std::shared_ptr<Database> db;
    int64_t id = 0;
    // The first write through the handle makes the key (key_creation.h).
    bool pending = false;
    // Handed out inside a transaction for a key that existed nowhere: the key counts as made
    // there, and a rollback takes it away.
    bool pendingInTransaction = false;
    // The key was created in a transaction that was rolled back.
    bool deleted = false;
    ValueWalk walk;
};

namespace {

std::recursive_mutex registryMutex;

// How many names an enumeration by prefix reads at once.
constexpr DWORD kNamesPerRun = 512;
std::set<HKEY> openKeys;
std::string failingKeyPath;
bool keepUnwritten = false;

// ERROR_SUCCESS when `key` is an open handle whose key still exists.
LONG Usable(HKEY key) {
    if (openKeys.count(key) == 0) {
        return ERROR_INVALID_HANDLE;
    }
    return key->deleted ? ERROR_KEY_DELETED : ERROR_SUCCESS;
}

// Binds `key` to where its key is now. A key that existed nowhere may have been made since,
// through another handle or by another process.
LONG Locate(HKEY key) {
    std::shared_ptr<Database> db;
    int64_t id = 0;
    bool pending = false;
    LONG status = LocateKey(key->path, key->isVolatile, &db, &id, &pending);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    if (db != key->db || id != key->id) {
        key->db = std::move(db);
        key->id = id;
        key->walk = ValueWalk();
    }
    key->pending = pending;
    return ERROR_SUCCESS;
}

// ERROR_SUCCESS when `key` can be read; `key->db` is empty when its key exists nowhere yet,
// which reads take as a key without values.
LONG Readable(HKEY key) {
    LONG status = Usable(key);
    if (status == ERROR_SUCCESS && key->pending && !key->db) {
        status = Locate(key);
    }
    return status;
}

// ERROR_SUCCESS when `key` can be written, its key made by this first write where it was
// pending.
LONG Writable(HKEY key) {
    LONG status = Usable(key);
    if (status == ERROR_SUCCESS && keepUnwritten) {
        return ERROR_ACCESS_DENIED;
    }
    if (status != ERROR_SUCCESS || !key->pending) {
        return status;
    }
    std::shared_ptr<Database> db;
    int64_t id = 0;
    status = CreatePendingKey(key->path, key->isVolatile, &db, &id);
    if (status == ERROR_SUCCESS) {
        key->db = std::move(db);
        key->id = id;
        key->pending = false;
        key->walk = ValueWalk();
    }
    return status;
}

// The full path of a key below HKEY_CURRENT_USER, without empty components.
bool JoinPath(HKEY base, LPCSTR subKey, std::string* path) {
    if (base == HKEY_CURRENT_USER) {
        path->clear();
    } else if (openKeys.count(base) != 0) {
        *path = base->path;
    } else {
        return false;
    }
    std::string rest = subKey != nullptr ? subKey : "";
    for (size_t start = 0; start <= rest.size();) {
        size_t end = rest.find('\\', start);
        if (end == std::string::npos) {
            end = rest.size();
        }
        if (end > start) {
            if (!path->empty()) {
                *path += '\\';
            }
            path->append(rest, start, end - start);
        }
        start = end + 1;
    }
    return true;
}

bool SameTextIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && ::strncasecmp(a.c_str(), b.c_str(), a.size()) == 0;
}

}  // namespace

LONG RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, LPSTR, DWORD dwOptions, REGSAM,
                     LPSECURITY_ATTRIBUTES, PHKEY phkResult, LPDWORD lpdwDisposition) {
    std::lock_guard<std::recursive_mutex> lock(registryMutex);
    if (phkResult == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    std::string path;
    if (!JoinPath(hKey, lpSubKey, &path)) {
        return ERROR_INVALID_HANDLE;
    }
    if (!failingKeyPath.empty() && SameTextIgnoringCase(path, failingKeyPath)) {
        return ERROR_ACCESS_DENIED;
    }
    // Reads make nothing: the key is made by the first write through the handle.
    HKEY key = new HKEY__(path, (dwOptions & REG_OPTION_VOLATILE) != 0);
    LONG status = Locate(key);
    if (status != ERROR_SUCCESS) {
        delete key;
        return status;
    }
    key->pendingInTransaction = key->pending && !key->db && TransactionOpen();
    openKeys.insert(key);
    *phkResult = key;
    if (lpdwDisposition != nullptr) {
        *lpdwDisposition = key->db ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
    }
    return ERROR_SUCCESS;
}

LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM, PHKEY phkResult) {
    std::lock_guard<std::recursive_mutex> lock(registryMutex);
    if (phkResult == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    std::string path;
    if (!JoinPath(hKey, lpSubKey, &path)) {
        return ERROR_INVALID_HANDLE;
    }
    std::shared_ptr<Database> db;
    int64_t id = 0;
    LONG status = FindKey(path, &db, &id);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    HKEY key = new HKEY__(path, db->store() == kVelmoraVolatileStore);
    key->db = std::move(db);
    key->id = id;
    openKeys.insert(key);
    *phkResult = key;
    return ERROR_SUCCESS;
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
    if (LONG status = Usable(hKey); status != ERROR_SUCCESS) {
        return status;
    }
    if (lpData == nullptr && cbData != 0) {
        return ERROR_INVALID_PARAMETER;
    }
    if (LONG status = Writable(hKey); status != ERROR_SUCCESS) {
        return status;
    }
    if (LONG status = JoinTransaction(hKey->db); status != ERROR_SUCCESS) {
        return status;
    }
    return hKey->db->SetValue(hKey->id, lpValueName != nullptr ? lpValueName : "", dwType, lpData,
                              cbData);
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
    // The value a walk has just delivered comes from what the walk read ahead.
    if (LONG status; hKey->walk.AnswerQuery(*hKey->db, name, lpType, lpData, lpcbData, &status)) {
        return status;
    }
    ValueRow row;
    LONG status = hKey->db->GetValue(hKey->id, name, &row);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    if (lpType != nullptr) {
        *lpType = row.type;
    }
    return CopyOut(row.data.data(), static_cast<DWORD>(row.data.size()), lpData, lpcbData);
}

LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) {
    std::lock_guard<std::recursive_mutex> lock(registryMutex);
    if (LONG status = Readable(hKey); status != ERROR_SUCCESS) {
        return status;
    }
    if (!hKey->db) {
        return ERROR_FILE_NOT_FOUND;
    }
    if (LONG status = Writable(hKey); status != ERROR_SUCCESS) {
        return status;
    }
    if (LONG status = JoinTransaction(hKey->db); status != ERROR_SUCCESS) {
        return status;
    }
    return hKey->db->DeleteValue(hKey->id, lpValueName != nullptr ? lpValueName : "");
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
    return hKey->walk.Enumerate(*hKey->db, hKey->id, dwIndex, lpValueName, lpcchValueName, lpType,
                                lpData, lpcbData);
}

LONG RegQueryInfoKeyA(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass, LPDWORD, LPDWORD lpcSubKeys,
                      LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen, LPDWORD lpcValues,
                      LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen,
                      LPDWORD lpcbSecurityDescriptor, PFILETIME lpftLastWriteTime) {
    std::lock_guard<std::recursive_mutex> lock(registryMutex);
    LONG status = Readable(hKey);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    DWORD values = 0, maxName = 0, maxData = 0;
    if (hKey->db) {
        status = hKey->db->ValueStats(hKey->id, &values,
                                      lpcbMaxValueNameLen != nullptr ? &maxName : nullptr,
                                      lpcbMaxValueLen != nullptr ? &maxData : nullptr);
    }
    if (status != ERROR_SUCCESS) {
        return status;
    }
    if (lpcSubKeys != nullptr) {
        *lpcSubKeys = 0;
        status = hKey->db ? CountSubKeys(hKey->path, *hKey->db, lpcSubKeys) : ERROR_SUCCESS;
        if (status != ERROR_SUCCESS) {
            return status;
        }
    }
    if (lpClass != nullptr && lpcchClass != nullptr && *lpcchClass > 0) {
        lpClass[0] = '\0';
    }
    for (LPDWORD zero : {lpcchClass, lpcbMaxSubKeyLen, lpcbMaxClassLen, lpcbSecurityDescriptor}) {
        if (zero != nullptr) {
            *zero = 0;
        }
    }
    if (lpcValues != nullptr) {
        *lpcValues = values;
    }
    if (lpcbMaxValueNameLen != nullptr) {
        *lpcbMaxValueNameLen = maxName;
    }
    if (lpcbMaxValueLen != nullptr) {
        *lpcbMaxValueLen = maxData;
    }
    if (lpftLastWriteTime != nullptr) {
        *lpftLastWriteTime = FILETIME{0, 0};
    }
    return ERROR_SUCCESS;
}

LONG VelmoraValueNameBeginsWith(HKEY key, const char* prefix) {
    std::lock_guard<std::recursive_mutex> lock(registryMutex);
    if (LONG status = Readable(key); status != ERROR_SUCCESS) {
        return status;
    }
    if (!key->db) {
        return ERROR_FILE_NOT_FOUND;
    }
    return key->db->AnyNameBeginsWith(key->id, prefix != nullptr ? prefix : "");
}

LONG VelmoraEnumValueNamesBeginningWith(HKEY key, const char* prefix, VelmoraValueNameVisitor visit,
                                        void* context) {
    std::lock_guard<std::recursive_mutex> lock(registryMutex);
    if (visit == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    if (LONG status = Readable(key); status != ERROR_SUCCESS) {
        return status;
    }
    if (!key->db) {
        return ERROR_SUCCESS;
    }
    // Names are read a run at a time and visited with no read open, so that a visitor that is
    // slow to take them (a shell reading a pipe) keeps no transaction open meanwhile; each run
    // goes on behind the last name of the one before, which the unique name index places.
    std::shared_ptr<Database> db = key->db;
    int64_t id = key->id;
    const char* text = prefix != nullptr ? prefix : "";
    std::vector<std::string> names;
    std::string last;
    const std::string* after = nullptr;
    for (;;) {
        LONG status = db->NamesBeginningWith(id, text, after, kNamesPerRun, &names);
        if (status != ERROR_SUCCESS) {
            return status == ERROR_NO_MORE_ITEMS ? ERROR_SUCCESS : status;
        }
        for (const std::string& name : names) {
            if (visit(name.c_str(), context) == 0) {
                return ERROR_SUCCESS;
            }
        }
        if (names.size() < kNamesPerRun) {
            return ERROR_SUCCESS;
        }
        last = names.back();
        after = &last;
    }
}

LONG VelmoraSalvageValues(HKEY key, VelmoraSalvagedValue visit, void* context, DWORD* unfound) {
    std::lock_guard<std::recursive_mutex> lock(registryMutex);
    if (visit == nullptr || unfound == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    *unfound = 0;
    if (LONG status = Readable(key); status != ERROR_SUCCESS) {
        return status;
    }
    if (!key->db) {
        return ERROR_SUCCESS;
    }
    std::vector<SalvagedValue> values;
    LONG status = SalvageValues(*key->db, key->id, &values, unfound);
    for (size_t i = 0; status == ERROR_SUCCESS && i < values.size(); ++i) {
        const SalvagedValue& value = values[i];
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
    return velmora::registry::CommittedStores();
}

void VelmoraFailKeyOpen(const char* path) {
    std::lock_guard<std::recursive_mutex> lock(registryMutex);
    failingKeyPath = path != nullptr ? path : "";
}

size_t VelmoraOpenKeys(void) {
    std::lock_guard<std::recursive_mutex> lock(registryMutex);
    return openKeys.size();
}
