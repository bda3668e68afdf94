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

#include "../store_transaction.h"
#include "../value_prefix.h"
#include "../test_hooks.h"
#include "registry_db.h"
#include "stores.h"
#include "value_walk.h"

using velmora::registry::BeginTransaction;
using velmora::registry::CopyOut;
using velmora::registry::CountSubKeys;
using velmora::registry::Database;
using velmora::registry::EndTransaction;
using velmora::registry::FindKey;
using velmora::registry::JoinTransaction;
using velmora::registry::OpenOrCreateKey;
using velmora::registry::ValueRow;
using velmora::registry::ValueWalk;

struct HKEY__ {
    HKEY__(std::shared_ptr<Database> database, int64_t key, std::string keyPath)
        : db(std::move(database)), id(key), path(std::move(keyPath)) {}

    std::shared_ptr<Database> db;
    int64_t id;
    std::string path;
    // The key was created in a transaction that was rolled back.
    bool deleted = false;
    ValueWalk walk;
};

namespace {

std::recursive_mutex registryMutex;
std::set<HKEY> openKeys;
std::string failingKeyPath;

// ERROR_SUCCESS when `key` is an open handle whose key still exists.
LONG Usable(HKEY key) {
    if (openKeys.count(key) == 0) {
        return ERROR_INVALID_HANDLE;
    }
    return key->deleted ? ERROR_KEY_DELETED : ERROR_SUCCESS;
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
    std::shared_ptr<Database> db;
    int64_t id = 0;
    bool created = false;
    // The option counts only when the key is created.
    LONG status = OpenOrCreateKey(path, (dwOptions & REG_OPTION_VOLATILE) != 0, &db, &id, &created);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    HKEY key = new HKEY__(db, id, path);
    openKeys.insert(key);
    *phkResult = key;
    if (lpdwDisposition != nullptr) {
        *lpdwDisposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
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
    HKEY key = new HKEY__(db, id, path);
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
    if (LONG status = JoinTransaction(hKey->db); status != ERROR_SUCCESS) {
        return status;
    }
    return hKey->db->SetValue(hKey->id, lpValueName != nullptr ? lpValueName : "", dwType, lpData,
                              cbData);
}

LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD, LPDWORD lpType, LPBYTE lpData,
                      LPDWORD lpcbData) {
    std::lock_guard<std::recursive_mutex> lock(registryMutex);
    if (LONG status = Usable(hKey); status != ERROR_SUCCESS) {
        return status;
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
    if (LONG status = Usable(hKey); status != ERROR_SUCCESS) {
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
    if (LONG status = Usable(hKey); status != ERROR_SUCCESS) {
        return status;
    }
    if (lpValueName == nullptr || lpcchValueName == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    return hKey->walk.Enumerate(*hKey->db, hKey->id, dwIndex, lpValueName, lpcchValueName, lpType,
                                lpData, lpcbData);
}

LONG RegQueryInfoKeyA(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass, LPDWORD, LPDWORD lpcSubKeys,
                      LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen, LPDWORD lpcValues,
                      LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen,
                      LPDWORD lpcbSecurityDescriptor, PFILETIME lpftLastWriteTime) {
    std::lock_guard<std::recursive_mutex> lock(registryMutex);
    if (LONG status = Usable(hKey); status != ERROR_SUCCESS) {
        return status;
    }
    DWORD values = 0, maxName = 0, maxData = 0;
    LONG status =
        hKey->db->ValueStats(hKey->id, &values, lpcbMaxValueNameLen != nullptr ? &maxName : nullptr,
                             lpcbMaxValueLen != nullptr ? &maxData : nullptr);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    if (lpcSubKeys != nullptr) {
        *lpcSubKeys = 0;
        status = CountSubKeys(hKey->path, *hKey->db, lpcSubKeys);
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
    if (LONG status = Usable(key); status != ERROR_SUCCESS) {
        return status;
    }
    return key->db->AnyNameBeginsWith(key->id, prefix != nullptr ? prefix : "");
}

LONG VelmoraBeginStoreTransaction(void) {
    std::lock_guard<std::recursive_mutex> lock(registryMutex);
    return BeginTransaction();
}

LONG VelmoraEndStoreTransaction(int commit) {
    std::lock_guard<std::recursive_mutex> lock(registryMutex);
    LONG status = EndTransaction(commit != 0);
    if (status == ERROR_INVALID_FUNCTION || (commit != 0 && status == ERROR_SUCCESS)) {
        return status;
    }
    // The keys created inside are gone again; a handle open on one must not write into it, for
    // a later key may take its number.
    for (HKEY key : openKeys) {
        int64_t id = 0;
        LONG found = key->db->FindKey(key->path, &id);
        if (found == ERROR_FILE_NOT_FOUND || (found == ERROR_SUCCESS && id != key->id)) {
            key->deleted = true;
        }
    }
    return status;
}

void VelmoraFailKeyOpen(const char* path) {
    std::lock_guard<std::recursive_mutex> lock(registryMutex);
    failingKeyPath = path != nullptr ? path : "";
}

size_t VelmoraOpenKeys(void) {
    std::lock_guard<std::recursive_mutex> lock(registryMutex);
    return openKeys.size();
}
