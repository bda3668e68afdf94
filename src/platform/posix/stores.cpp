// The two stores; see stores.h. Each connection is opened when a call first needs it and kept
// for the life of the process, as the system keeps its registry loaded; it is opened again when
// the environment names another folder or the file was removed (a runtime folder emptied at
// logout).
#include "stores.h"

#include <vector>

#include "fault_log.h"
#include "store_location.h"

namespace velmora::registry {

namespace {

constexpr int kStores[] = {kVelmoraPersistentStore, kVelmoraVolatileStore};

struct StoreConnection {
    std::string folder;
    std::shared_ptr<Database> db;
};
StoreConnection connections[2];

bool transactionOpen = false;
std::vector<std::shared_ptr<Database>> inTransaction;

LONG Connection(int store, std::shared_ptr<Database>* out) {
    StoreFolder folder;
    LONG status = ConfiguredFolder(store, &folder);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    StoreConnection& connection = connections[store];
    if (!connection.db || connection.folder != folder.path || !connection.db->StillOnDisk()) {
        connection = StoreConnection{};
        std::string real;
        status = HookedFailure(store, folder.path + "/hkcu.db");
        if (status == ERROR_SUCCESS) {
            status = PrepareFolder(store, folder, &real);
        }
        if (status == ERROR_SUCCESS) {
            status = Database::Open(real + "/hkcu.db", store, &connection.db);
        }
        if (status != ERROR_SUCCESS) {
            return status;
        }
        connection.folder = folder.path;
    }
    *out = connection.db;
    return ERROR_SUCCESS;
}

bool KeyExists(const std::string& path) {
    std::shared_ptr<Database> db;
    int64_t id;
    return FindKey(path, &db, &id) == ERROR_SUCCESS;
}

// The registry keeps no persistent key below a volatile one: such a key would lose its parent
// at logout.
bool BelowVolatileKey(const std::string& path) {
    for (size_t end = path.rfind('\\'); end != std::string::npos && end > 0;
         end = path.rfind('\\', end - 1)) {
        std::shared_ptr<Database> db;
        int64_t id;
        if (FindKey(path.substr(0, end), &db, &id) == ERROR_SUCCESS) {
            return db->store() == kVelmoraVolatileStore;
        }
    }
    return false;
}

}  // namespace

LONG FindKey(const std::string& path, std::shared_ptr<Database>* db, int64_t* id) {
    LONG failure = ERROR_FILE_NOT_FOUND;
    for (int store : kStores) {
        std::shared_ptr<Database> candidate;
        LONG status = Connection(store, &candidate);
        if (status == ERROR_SUCCESS) {
            status = candidate->FindKey(path, id);
        }
        if (status == ERROR_SUCCESS) {
            *db = std::move(candidate);
            return ERROR_SUCCESS;
        }
        if (failure == ERROR_FILE_NOT_FOUND) {
            failure = status;
        }
    }
    return failure;
}

LONG OpenOrCreateKey(const std::string& path, bool isVolatile, std::shared_ptr<Database>* db,
                     int64_t* id, bool* created) {
    *created = false;
    if (FindKey(path, db, id) == ERROR_SUCCESS) {
        return ERROR_SUCCESS;
    }
    std::shared_ptr<Database> target;
    LONG status = Connection(isVolatile ? kVelmoraVolatileStore : kVelmoraPersistentStore, &target);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    // Processes create keys one at a time, under the persistent store's write lock (the
    // volatile one's where the persistent store cannot be used), and look again once they hold
    // it: a process that held it before has committed its key, in whichever store, so that two
    // processes never make the same key in both. Inside a transaction the lock is kept to its
    // end, since the key is not committed before.
    auto lock = [](const std::shared_ptr<Database>& db) {
        LONG joined = JoinTransaction(db);
        return joined == ERROR_SUCCESS ? db->BeginWrite() : joined;
    };
    std::shared_ptr<Database> guard;
    if (Connection(kVelmoraPersistentStore, &guard) != ERROR_SUCCESS) {
        guard = target;
    }
    status = lock(guard);
    if (status != ERROR_SUCCESS && status != ERROR_BUSY && guard != target) {
        guard = target;
        status = lock(guard);
    }
    if (status != ERROR_SUCCESS) {
        return status;
    }
    if (FindKey(path, db, id) == ERROR_SUCCESS) {
        status = ERROR_SUCCESS;
    } else if (!isVolatile && BelowVolatileKey(path)) {
        status = ERROR_CHILD_MUST_BE_VOLATILE;
    } else {
        // Not in any store that can be read: the key is made in the store its option asks for,
        // whether the other store is missing it or cannot be used.
        status = JoinTransaction(target);
        if (status == ERROR_SUCCESS) {
            status = target->CreateKey(path, KeyExists, id);
        }
        if (status == ERROR_SUCCESS) {
            *db = std::move(target);
            *created = true;
        }
    }
    LONG ended = guard->EndWrite(status == ERROR_SUCCESS);
    return status == ERROR_SUCCESS ? ended : status;
}

LONG CountSubKeys(const std::string& path, const Database& own, DWORD* count) {
    for (int store : kStores) {
        std::shared_ptr<Database> db;
        LONG status = Connection(store, &db);
        if (status == ERROR_SUCCESS) {
            status = db->CountSubKeys(path, count);
        }
        if (status != ERROR_SUCCESS && store == own.store()) {
            return status;
        }
    }
    return ERROR_SUCCESS;
}

LONG BeginTransaction() {
    if (transactionOpen) {
        return ERROR_INVALID_FUNCTION;
    }
    transactionOpen = true;
    return ERROR_SUCCESS;
}

LONG EndTransaction(bool commit) {
    if (!transactionOpen) {
        return ERROR_INVALID_FUNCTION;
    }
    transactionOpen = false;
    LONG result = ERROR_SUCCESS;
    for (const auto& db : inTransaction) {
        LONG status = db->EndWrite(commit && result == ERROR_SUCCESS);
        if (result == ERROR_SUCCESS) {
            result = status;
        }
    }
    inTransaction.clear();
    return result;
}

LONG JoinTransaction(const std::shared_ptr<Database>& db) {
    if (!transactionOpen) {
        return ERROR_SUCCESS;
    }
    for (const auto& joined : inTransaction) {
        if (joined == db) {
            return ERROR_SUCCESS;
        }
    }
    LONG status = db->BeginWrite();
    if (status == ERROR_SUCCESS) {
        inTransaction.push_back(db);
    }
    return status;
}

}  // namespace velmora::registry
