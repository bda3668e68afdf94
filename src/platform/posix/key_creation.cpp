// Finding and making keys across the two stores; see key_creation.h.
#include "key_creation.h"

#include <utility>
#include <vector>

#include "stores.h"

namespace velmora::registry {

namespace {

// A twin's values are copied in runs of this many, so that a large key is never held whole.
constexpr DWORD kCopyRun = 256;

std::string Parent(const std::string& path) {
    size_t end = path.rfind('\\');
    return end == std::string::npos ? std::string() : path.substr(0, end);
}

// `path` and each of its ancestors, the root first.
std::vector<std::string> Chain(const std::string& path) {
    std::vector<std::string> chain;
    for (size_t end = 0; end != std::string::npos;) {
        end = path.find('\\', end + 1);
        chain.push_back(path.substr(0, end));
    }
    return chain;
}

bool ExistsAnywhere(const std::string& path) {
    std::shared_ptr<Database> db;
    int64_t id;
    return FindKey(path, &db, &id) == ERROR_SUCCESS;
}

bool ExistsNowhereElse(const std::string&) {
    return false;
}

// Older code made the ancestors of a volatile key volatile too, and so does this code while the
// persistent store cannot be written: a key of the volatile store that has a subkey there and
// no persistent ancestor was made on the way. The registry's rule that keeps persistent keys
// from volatile parents is not for such a key: a persistent key below it gets a persistent twin
// of it instead, or the module's root would stay volatile for good.
bool MadeOnTheWay(const std::string& path) {
    std::shared_ptr<Database> persistent, volatileDb;
    LONG status = Connection(kVelmoraPersistentStore, false, &persistent);
    if ((status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) ||
        Connection(kVelmoraVolatileStore, false, &volatileDb) != ERROR_SUCCESS) {
        return false;
    }
    int64_t id;
    for (std::string above = Parent(path); persistent && !above.empty(); above = Parent(above)) {
        if (persistent->FindKey(above, &id) == ERROR_SUCCESS) {
            return false;
        }
    }
    DWORD subkeys = 0;
    return volatileDb->CountSubKeys(path, &subkeys) == ERROR_SUCCESS && subkeys > 0;
}

LONG CopyValues(Database& from, int64_t fromKey, Database& to, int64_t toKey) {
    ValueList values;
    for (int64_t after = 0;;) {
        LONG status = from.ValuesAfter(fromKey, after, kCopyRun, false, &values);
        if (status != ERROR_SUCCESS) {
            return status == ERROR_NO_MORE_ITEMS ? ERROR_SUCCESS : status;
        }
        for (size_t i = 0; i < values.size(); ++i) {
            std::string name(values.Name(i));
            std::string_view data = values.Data(i);
            status = to.SetValue(toKey, name.c_str(), values.Type(i),
                                 reinterpret_cast<const BYTE*>(data.data()),
                                 static_cast<DWORD>(data.size()));
            if (status != ERROR_SUCCESS) {
                return status;
            }
            after = values.Seq(i);
        }
    }
}

// Makes `path` and every ancestor missing from the persistent store there, each key that the
// volatile store alone held with a copy of its values (settings written there meanwhile).
LONG CreatePersistentChain(const std::string& path, Database& persistent, int64_t* id) {
    std::vector<std::pair<std::string, int64_t>> twins;
    std::shared_ptr<Database> volatileDb;
    if (Connection(kVelmoraVolatileStore, false, &volatileDb) == ERROR_SUCCESS) {
        for (const std::string& key : Chain(path)) {
            int64_t volatileId, persistentId;
            if (persistent.FindKey(key, &persistentId) != ERROR_SUCCESS &&
                volatileDb->FindKey(key, &volatileId) == ERROR_SUCCESS) {
                twins.emplace_back(key, volatileId);
            }
        }
    }
    LONG status = persistent.CreateKey(path, ExistsNowhereElse, id);
    for (size_t i = 0; status == ERROR_SUCCESS && i < twins.size(); ++i) {
        int64_t twin = 0;
        status = persistent.FindKey(twins[i].first, &twin);
        if (status == ERROR_SUCCESS) {
            status = CopyValues(*volatileDb, twins[i].second, persistent, twin);
        }
    }
    return status;
}

// Makes the key, which no store holds, under the write lock of `guard`; `persistent` is that
// store when the lock is its own, else empty.
LONG MakeKey(const std::string& path, bool isVolatile, const std::shared_ptr<Database>& target,
             const std::shared_ptr<Database>& persistent, std::shared_ptr<Database>* db,
             int64_t* id) {
    std::string parent = Parent(path);
    std::string nearest = parent;
    std::shared_ptr<Database> above;
    int64_t aboveId;
    while (!nearest.empty() && FindKey(nearest, &above, &aboveId) != ERROR_SUCCESS) {
        nearest = Parent(nearest);
    }
    bool belowVolatile =
        !nearest.empty() && above->store() == kVelmoraVolatileStore && !MadeOnTheWay(nearest);
    if (belowVolatile && !isVolatile) {
        return ERROR_CHILD_MUST_BE_VOLATILE;
    }
    // The ancestors go to the persistent store when it can be written, the key to the store its
    // option asks for.
    if (!belowVolatile && persistent) {
        std::string last = isVolatile ? parent : path;
        int64_t lastId = 0;
        LONG status = ERROR_SUCCESS;
        if (!last.empty() && persistent->FindKey(last, &lastId) != ERROR_SUCCESS) {
            status = JoinTransaction(persistent);
            status = status == ERROR_SUCCESS ? CreatePersistentChain(last, *persistent, &lastId)
                                             : status;
        }
        if (status != ERROR_SUCCESS || !isVolatile) {
            *db = persistent;
            *id = lastId;
            return status;
        }
    }
    LONG status = JoinTransaction(target);
    if (status == ERROR_SUCCESS) {
        status = target->CreateKey(path, ExistsAnywhere, id);
    }
    if (status == ERROR_SUCCESS) {
        *db = target;
    }
    return status;
}

}  // namespace

LONG LocateKey(const std::string& path, bool isVolatile, std::shared_ptr<Database>* db, int64_t* id,
               bool* pending) {
    LONG status = FindKey(path, db, id);
    if (status == ERROR_SUCCESS) {
        *pending = !isVolatile && (*db)->store() == kVelmoraVolatileStore && MadeOnTheWay(path);
        return ERROR_SUCCESS;
    }
    // Not in any store that can be read: the key is made in the store its option asks for,
    // whether the other store is missing it or cannot be used. That store itself must have
    // answered that the key is missing: one that failed while it was read may well hold it. (A
    // key another process made since the first look is found by the next read or write.)
    std::shared_ptr<Database> target;
    status =
        Connection(isVolatile ? kVelmoraVolatileStore : kVelmoraPersistentStore, false, &target);
    if (status == ERROR_SUCCESS) {
        int64_t found;
        status = target->FindKey(path, &found);
    }
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
        return status;
    }
    db->reset();
    *id = 0;
    *pending = true;
    return ERROR_SUCCESS;
}

LONG CreatePendingKey(const std::string& path, bool isVolatile, std::shared_ptr<Database>* db,
                      int64_t* id) {
    bool pending = false;
    LONG status = LocateKey(path, isVolatile, db, id, &pending);
    if (status != ERROR_SUCCESS || !pending) {
        return status;
    }
    std::shared_ptr<Database> target;
    status =
        Connection(isVolatile ? kVelmoraVolatileStore : kVelmoraPersistentStore, true, &target);
    if (status != ERROR_SUCCESS) {
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
    status = LocateKey(path, isVolatile, db, id, &pending);
    if (status == ERROR_SUCCESS && pending) {
        bool ownLock = guard->store() == kVelmoraPersistentStore;
        status = MakeKey(path, isVolatile, target, ownLock ? guard : nullptr, db, id);
    }
    LONG ended = guard->EndWrite(status == ERROR_SUCCESS);
    return status == ERROR_SUCCESS ? ended : status;
}

}  // namespace velmora::registry
