// The two stores; see stores.h. Each connection is opened when a call first needs it and kept
// for the life of the process, as the system keeps its registry loaded; it is opened again when
// the environment names another folder, the file was removed (a runtime folder emptied at
// logout) or the connection was lost.
#include "stores.h"

#include <sys/stat.h>

#include <algorithm>
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
unsigned committedStores = 0;

// One process reaches each database file through one connection: SQLite keeps its locks per
// process, and a second connection's end could drop the first one's. Folders that are one are
// kept by the persistent store, and the volatile store is refused there.
LONG RefuseSharedFile(int store, const std::string& real) {
    StoreFolder persistent;
    struct stat mine {
    }, theirs{};
    if (store != kVelmoraVolatileStore ||
        ConfiguredFolder(kVelmoraPersistentStore, &persistent) != ERROR_SUCCESS ||
        ::stat(real.c_str(), &mine) != 0 || ::stat(persistent.path.c_str(), &theirs) != 0 ||
        mine.st_dev != theirs.st_dev || mine.st_ino != theirs.st_ino) {
        return ERROR_SUCCESS;
    }
    return RecordFault(store, kStoreFaultCannotOpen, real + "/hkcu.db",
                       "it is the file of " + NamesOf(kVelmoraPersistentStore) + " as well",
                       std::string("give them a folder of their own in ") + FolderVariable(store));
}

// The open database of `store` (a VelmoraStoreId). A store whose file does not exist yet, or
// holds no schema yet, is made only when `create`; otherwise it gives ERROR_FILE_NOT_FOUND and
// no fault, so that a read makes no file, no folder and no schema.
LONG Connection(int store, bool create, std::shared_ptr<Database>* out) {
    StoreFolder folder;
    LONG status = ConfiguredFolder(store, &folder);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    StoreConnection& connection = connections[store];
    std::string file = folder.path + "/hkcu.db";
    if (!connection.db && connection.folder == folder.path && RecentlyBusy(store)) {
        return RecordFault(store, kStoreFaultBusy, file);
    }
    if (!connection.db || connection.folder != folder.path || !connection.db->StillUsable()) {
        connection = StoreConnection{};
        std::string real;
        status = HookedFailure(store, file);
        if (status == ERROR_SUCCESS) {
            status = PrepareFolder(store, folder, create, &real);
        }
        if (status == ERROR_SUCCESS) {
            status = RefuseSharedFile(store, real);
        }
        if (status == ERROR_SUCCESS) {
            status = Database::Open(real + "/hkcu.db", store, create, &connection.db);
        }
        if (status == ERROR_BUSY) {
            connection.folder = folder.path;
            WaitedInVain(store);
        }
        if (status != ERROR_SUCCESS) {
            return status;
        }
        connection.folder = folder.path;
    }
    *out = connection.db;
    return ERROR_SUCCESS;
}

}  // namespace

LONG LocateKey(const std::string& path, bool isVolatile, std::shared_ptr<Database>* db,
               int64_t* id) {
    // A key in no store that can be read is made in the store its option asks for, whether the
    // other store is missing it or cannot be used. That store itself must have answered that the
    // key is missing: one that failed while it was read may well hold it. (A key another process
    // made since is found by the next read or write.)
    int target = isVolatile ? kVelmoraVolatileStore : kVelmoraPersistentStore;
    LONG targetStatus = ERROR_FILE_NOT_FOUND;
    for (int store : kStores) {
        std::shared_ptr<Database> candidate;
        LONG status = Connection(store, false, &candidate);
        status = status == ERROR_SUCCESS ? candidate->FindKey(path, id) : status;
        if (status == ERROR_SUCCESS) {
            *db = std::move(candidate);
            return ERROR_SUCCESS;
        }
        targetStatus = store == target ? status : targetStatus;
    }
    db->reset();
    *id = 0;
    return targetStatus == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : targetStatus;
}

LONG CreateKeyOnFirstWrite(const std::string& path, bool isVolatile, std::shared_ptr<Database>* db,
                           int64_t* id) {
    LONG status = LocateKey(path, isVolatile, db, id);
    std::shared_ptr<Database> target;
    if (status == ERROR_SUCCESS && !*db) {
        status =
            Connection(isVolatile ? kVelmoraVolatileStore : kVelmoraPersistentStore, true, &target);
    }
    if (status != ERROR_SUCCESS || *db) {
        return status;
    }
    // Processes create keys one at a time, under the persistent store's write lock (the
    // volatile one's where the persistent store cannot be written), and look again once they
    // hold it: a process that held it before has committed its key, in whichever store, so that
    // two processes never make the same key in both. Inside a transaction the lock is kept to
    // its end, since the key is not committed before.
    auto lock = [](const std::shared_ptr<Database>& db) {
        LONG joined = JoinTransaction(db);
        return joined == ERROR_SUCCESS ? db->BeginWrite() : joined;
    };
    std::shared_ptr<Database> guard;
    if (Connection(kVelmoraPersistentStore, true, &guard) != ERROR_SUCCESS) {
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
    status = LocateKey(path, isVolatile, db, id);
    if (status == ERROR_SUCCESS && !*db) {
        status = JoinTransaction(target);
        status = status == ERROR_SUCCESS ? target->CreateKey(path, id) : status;
        *db = status == ERROR_SUCCESS ? target : nullptr;
    }
    LONG ended = guard->EndWrite(status == ERROR_SUCCESS);
    return status == ERROR_SUCCESS ? ended : status;
}

LONG BeginTransaction() {
    if (transactionOpen) {
        return ERROR_INVALID_FUNCTION;
    }
    transactionOpen = true;
    return ERROR_SUCCESS;
}

bool TransactionOpen() {
    return transactionOpen;
}

LONG EndTransaction(bool commit) {
    if (!transactionOpen) {
        return ERROR_INVALID_FUNCTION;
    }
    transactionOpen = false;
    // The persistent store, which holds the settings, commits first.
    std::sort(inTransaction.begin(), inTransaction.end(),
              [](const auto& a, const auto& b) { return a->store() < b->store(); });
    LONG result = ERROR_SUCCESS;
    for (size_t i = 0; commit && result == ERROR_SUCCESS && i < inTransaction.size(); ++i) {
        result = inTransaction[i]->FlushWrites();
    }
    committedStores = 0;
    for (const auto& db : inTransaction) {
        bool commitThis = commit && result == ERROR_SUCCESS;
        LONG status = db->EndWrite(commitThis);
        if (commitThis && status == ERROR_SUCCESS) {
            committedStores |= 1u << db->store();
        }
        if (result == ERROR_SUCCESS) {
            result = status;
        }
    }
    inTransaction.clear();
    return result;
}

unsigned CommittedStores() {
    return committedStores;
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
