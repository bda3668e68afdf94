// The registry functions on POSIX, below HKEY_CURRENT_USER. Persistent keys live in one
// database, volatile keys in a second one under the user's runtime directory, which is emptied
// when the user's last session ends: that is how a volatile key does not outlive the logon
// (stores.h). An open key handle names its database; an enumerating key reads values ahead and
// serves them while no commit has touched the database since.
#include <strings.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "../store_transaction.h"
#include "../test_hooks.h"
#include "registry_db.h"
#include "stores.h"

using velmora::registry::BeginTransaction;
using velmora::registry::CountSubKeys;
using velmora::registry::Database;
using velmora::registry::DataVersion;
using velmora::registry::EndTransaction;
using velmora::registry::FindKey;
using velmora::registry::JoinTransaction;
using velmora::registry::OpenOrCreateKey;
using velmora::registry::ValueList;
using velmora::registry::ValueRow;

struct HKEY__ {
    HKEY__(std::shared_ptr<Database> database, int64_t key, std::string keyPath)
        : db(std::move(database)), id(key), path(std::move(keyPath)) {}

    std::shared_ptr<Database> db;
    int64_t id;
    std::string path;
    // The key was created in a transaction that was rolled back.
    bool deleted = false;
    // Where the last enumeration stopped, so that the next index continues from there.
    DWORD nextIndex = 0;
    int64_t nextAfterSeq = -1;
    // Values read in one go with the last one delivered: `ahead[aheadPos - 1]` is that one and
    // the rest follow it. They stand for the database only while it is still at `aheadVersion`;
    // a query per value would cost a read transaction each.
    ValueList ahead;
    size_t aheadPos = 0;
    DataVersion aheadVersion;
    DWORD aheadLimit = 0;
    // A walk reads names alone until its caller shows that it reads each value as well, by
    // asking for the types or data or by querying the value it was just given.
    bool walkReadsValues = false;
};

namespace {

// Enumeration reads this many values at first, and twice as many each time it goes on, up to
// the most. A caller that stops early has not paid for a long read, and one that walks a large
// key pays for few reads while holding few values at a time.
constexpr DWORD kFirstReadAhead = 16;
constexpr DWORD kMostReadAhead = 1024;

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

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Value names as the database's NOCASE collation compares them: only ASCII letters fold,
// whatever the locale.
bool SameValueName(std::string_view stored, const char* name) {
    size_t i = 0;
    for (; i < stored.size() && name[i] != '\0'; ++i) {
        if (AsciiLower(stored[i]) != AsciiLower(name[i])) {
            return false;
        }
    }
    return i == stored.size() && name[i] == '\0';
}

// Whether the key's enumeration delivered a value last and the database has not changed since;
// that value is then `key->ahead[key->aheadPos - 1]`.
bool LastEnumeratedHolds(HKEY key) {
    return key->aheadPos > 0 && key->db->Unchanged(key->aheadVersion);
}

// Copies `size` bytes into a caller's buffer of `*capacity` bytes, the registry's way: the
// needed size is always reported, and a buffer too small gets ERROR_MORE_DATA.
LONG CopyOut(const void* bytes, DWORD size, LPBYTE buffer, LPDWORD capacity) {
    if (capacity == nullptr) {
        return buffer != nullptr ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
    }
    DWORD room = *capacity;
    *capacity = size;
    if (buffer == nullptr) {
        return ERROR_SUCCESS;
    }
    if (room < size) {
        return ERROR_MORE_DATA;
    }
    std::memcpy(buffer, bytes, size);
    return ERROR_SUCCESS;
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
    // A walk over a key reads each value right after enumerating its name.
    if (LastEnumeratedHolds(hKey) && SameValueName(hKey->ahead.Name(hKey->aheadPos - 1), name)) {
        hKey->walkReadsValues = true;
    }
    if (LastEnumeratedHolds(hKey) && hKey->ahead.HasData() &&
        SameValueName(hKey->ahead.Name(hKey->aheadPos - 1), name)) {
        size_t last = hKey->aheadPos - 1;
        if (lpType != nullptr) {
            *lpType = hKey->ahead.Type(last);
        }
        std::string_view data = hKey->ahead.Data(last);
        return CopyOut(data.data(), static_cast<DWORD>(data.size()), lpData, lpcbData);
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
    bool continues = dwIndex == hKey->nextIndex && hKey->nextAfterSeq >= 0;
    if (!continues) {
        hKey->walkReadsValues = false;
    }
    bool wantsData = lpType != nullptr || lpData != nullptr || lpcbData != nullptr;
    hKey->walkReadsValues = hKey->walkReadsValues || wantsData;
    bool unchanged = hKey->db->Unchanged(hKey->aheadVersion);
    bool readNow = !continues || !unchanged || hKey->aheadPos >= hKey->ahead.size() ||
                   (hKey->walkReadsValues && !hKey->ahead.HasData());
    if (readNow) {
        // While the caller keeps taking values, each read takes twice as many as the last. A
        // change in between starts again from a single value, so that a caller that writes as
        // it walks reads no more than one value per call.
        if (!continues) {
            hKey->aheadLimit = kFirstReadAhead;
        } else if (!unchanged) {
            hKey->aheadLimit = 1;
        } else {
            hKey->aheadLimit = std::min(hKey->aheadLimit * 2, kMostReadAhead);
        }
        // Taken before the read: a commit in between then counts as a change, never as none.
        hKey->aheadVersion = hKey->db->Version();
        hKey->aheadPos = 0;
        LONG status = hKey->db->ValuesAt(hKey->id, continues ? hKey->nextAfterSeq : -1, dwIndex,
                                         hKey->aheadLimit, !hKey->walkReadsValues, &hKey->ahead);
        if (status != ERROR_SUCCESS) {
            hKey->aheadVersion = DataVersion();
            return status;
        }
    }
    size_t at = hKey->aheadPos;
    std::string_view name = hKey->ahead.Name(at);
    DWORD needed = static_cast<DWORD>(name.size()) + 1;
    LONG status = ERROR_MORE_DATA;
    if (*lpcchValueName < needed) {
        *lpcchValueName = needed;
    } else {
        std::memcpy(lpValueName, name.data(), name.size());
        lpValueName[name.size()] = '\0';
        *lpcchValueName = needed - 1;
        if (lpType != nullptr) {
            *lpType = hKey->ahead.Type(at);
        }
        std::string_view data = hKey->ahead.Data(at);
        status = CopyOut(data.data(), static_cast<DWORD>(data.size()), lpData, lpcbData);
    }
    if (status == ERROR_SUCCESS) {
        hKey->nextIndex = dwIndex + 1;
        hKey->nextAfterSeq = hKey->ahead.Seq(at);
        ++hKey->aheadPos;
    } else if (readNow) {
        // The values just read do not follow the last one delivered: drop them.
        hKey->ahead.Clear();
        hKey->aheadVersion = DataVersion();
    }
    return status;
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
