// The two stores; see stores.h. Each connection is opened when a call first needs it and kept
// for the life of the process, as the system keeps its registry loaded; it is opened again when
// the environment names another folder, the file was removed (a runtime folder emptied at
// logout) or the connection was lost.
#include "stores.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "fault_log.h"
#include "store_location.h"

namespace velmora::registry {

namespace {

constexpr int kStores[] = {kVelmoraPersistentStore, kVelmoraVolatileStore};

struct StoreConnection {
    std::string folder;
    std::shared_ptr<Database> db;
    // When an open last found the database locked for a write's whole waiting time.
    std::chrono::steady_clock::time_point busySince{};
    std::string busyFile;
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
    RecordFault(store, kStoreFaultCannotOpen, real + "/hkcu.db",
                "it is the file of " + NamesOf(kVelmoraPersistentStore) + " as well",
                std::string("give them a folder of their own in ") + FolderVariable(store));
    return StatusOfFault(kStoreFaultCannotOpen);
}

}  // namespace

LONG Connection(int store, bool create, std::shared_ptr<Database>* out) {
    StoreFolder folder;
    LONG status = ConfiguredFolder(store, &folder);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    StoreConnection& connection = connections[store];
    if (!connection.db && connection.folder == folder.path && RecentlyBusy(connection.busySince)) {
        RecordFault(store, kStoreFaultBusy, connection.busyFile);
        return StatusOfFault(kStoreFaultBusy);
    }
    if (!connection.db || connection.folder != folder.path || !connection.db->StillUsable()) {
        connection = StoreConnection{};
        std::string real;
        status = HookedFailure(store, folder.path + "/hkcu.db");
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
            connection.busySince = WaitEndedInVain();
            connection.busyFile = real + "/hkcu.db";
        }
        if (status != ERROR_SUCCESS) {
            return status;
        }
        connection.folder = folder.path;
    }
    *out = connection.db;
    return ERROR_SUCCESS;
}

LONG FindKey(const std::string& path, std::shared_ptr<Database>* db, int64_t* id) {
    LONG failure = ERROR_FILE_NOT_FOUND;
    for (int store : kStores) {
        std::shared_ptr<Database> candidate;
        LONG status = Connection(store, false, &candidate);
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

LONG CountSubKeys(const std::string& path, const Database& own, DWORD* count) {
    for (int store : kStores) {
        std::shared_ptr<Database> db;
        LONG status = Connection(store, false, &db);
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
