// SQLite behind one registry database. Key paths and value names compare without regard to
// ASCII letter case (COLLATE NOCASE), as the registry compares them. Each value carries the
// sequence number of its first write, so enumeration follows first-written order and can go on
// from the last value delivered through an index instead of counting from the start.
#include "registry_db.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "../test_hooks.h"
#include "../value_name_limit.h"
#include "fault_log.h"
#include "store_file.h"
#include "store_location.h"

namespace velmora::registry {

namespace {

// A WAL that grew past this (a large import) is cut back to it after a checkpoint; a closing
// connection that checkpoints empties it.
constexpr int kWalSizeLimit = 1024 * 1024;
// The most of a database file read through a mapping (address space, not memory).
constexpr int64_t kMappedSize = 256 * 1024 * 1024;

// The stamp of a store: the file is ours ("Velm") and holds version 1 of the schema below. A
// later version raises the number; this one reads such a file as far as it knows it and never
// writes it. A file with these tables and no stamp was made by an earlier build, with the same
// schema: its first commit stamps it.
constexpr int kApplicationId = 0x56656C6D;
constexpr int kSchemaVersion = 1;
const std::string kStamp = "PRAGMA application_id = " + std::to_string(kApplicationId) +
                           "; PRAGMA user_version = " + std::to_string(kSchemaVersion) + ";";
const char* const kSchema =
    "CREATE TABLE IF NOT EXISTS keys("
    "  id INTEGER PRIMARY KEY,"
    "  path TEXT NOT NULL UNIQUE COLLATE NOCASE);"
    "CREATE TABLE IF NOT EXISTS vals("
    "  key INTEGER NOT NULL,"
    "  name TEXT NOT NULL COLLATE NOCASE,"
    "  seq INTEGER NOT NULL,"
    "  type INTEGER NOT NULL,"
    "  data BLOB NOT NULL,"
    "  PRIMARY KEY(key, name)) WITHOUT ROWID;"
    "CREATE INDEX IF NOT EXISTS vals_order ON vals(key, seq);";
const char* const kSchemaNames[] = {"keys", "vals", "vals_order"};

// In the order of Database::Query. The value lists take the key, where to begin and the limit.
const char* const kQueries[] = {
    "SELECT seq, name, type, data FROM vals WHERE key = ?1 AND seq > ?2 ORDER BY seq LIMIT ?3",
    "SELECT seq, name, type, data FROM vals WHERE key = ?1 ORDER BY seq LIMIT ?3 OFFSET ?2",
    // Names alone come from the order index, which holds them beside the sequence numbers: no
    // look-up in the table per value.
    "SELECT seq, name FROM vals WHERE key = ?1 AND seq > ?2 ORDER BY seq LIMIT ?3",
    "SELECT seq, name FROM vals WHERE key = ?1 ORDER BY seq LIMIT ?3 OFFSET ?2",
    // The names ignoring ASCII case sort as their folded bytes do, so those that begin with a
    // text follow it at once in the table, which holds the values by name.
    "SELECT seq, name FROM vals WHERE key = ?1 AND name >= ?2 ORDER BY name LIMIT ?3",
    "SELECT seq, name FROM vals WHERE key = ?1 AND name > ?2 ORDER BY name LIMIT ?3",
    "SELECT seq, name, type, data FROM vals WHERE key = ?1 AND name >= ?2 ORDER BY name LIMIT ?3",
    "SELECT seq, name, type, data FROM vals WHERE key = ?1 AND name > ?2 ORDER BY name LIMIT ?3",
    // Read backwards, which reaches an entry of an inner page from the page after it.
    "SELECT seq, name FROM vals WHERE key = ?1 AND seq <= ?2 ORDER BY seq DESC LIMIT ?3",
    "SELECT seq, name, type, data FROM vals WHERE key = ?1 AND name <= ?2 ORDER BY name DESC "
    "LIMIT ?3",
    "SELECT id FROM keys WHERE path = ?1",
    "INSERT OR IGNORE INTO keys(path) VALUES(?1)",
    // A value written again under another spelling of its name takes that spelling: the name
    // a user just typed is the one to list, not the one typed first.
    "INSERT INTO vals(key, name, seq, type, data) VALUES(?1, ?2, "
    "(SELECT COALESCE(MAX(seq), 0) + 1 FROM vals WHERE key = ?1), ?3, ?4) "
    "ON CONFLICT(key, name) DO UPDATE SET name = excluded.name, type = excluded.type, "
    "data = excluded.data",
    "SELECT seq, name, type, data FROM vals WHERE key = ?1 AND name = ?2",
    "DELETE FROM vals WHERE key = ?1 AND name = ?2",
    "SELECT COUNT(*), COALESCE(MAX(length(CAST(name AS BLOB))), 0), "
    "COALESCE(MAX(length(data)), 0) FROM vals WHERE key = ?1",
    "SELECT COUNT(*) FROM vals WHERE key = ?1",
    "SELECT * FROM pragma_application_id, pragma_user_version",
    "SELECT name FROM sqlite_master WHERE name NOT LIKE 'sqlite!_%' ESCAPE '!'",
};

// Waits for a write lock that ended in vain, counted for tests (test_hooks.h), and the moment
// the last one of each store ended.
std::atomic<unsigned> waitsInVain{0};
std::chrono::steady_clock::time_point busySince[2];

struct Blob {
    const BYTE* data;
    DWORD size;
};

void Bind(sqlite3_stmt* statement, int index, int64_t number) {
    sqlite3_bind_int64(statement, index, number);
}
void Bind(sqlite3_stmt* statement, int index, const std::string& text) {
    sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
}
void Bind(sqlite3_stmt* statement, int index, Database::From from) {
    from.name != nullptr ? Bind(statement, index, *from.name) : Bind(statement, index, from.number);
}
void Bind(sqlite3_stmt* statement, int index, Blob blob) {
    // A null pointer would bind NULL, which the table refuses: no data is an empty blob.
    sqlite3_bind_blob(statement, index,
                      blob.data != nullptr ? static_cast<const void*>(blob.data) : "",
                      static_cast<int>(blob.size), SQLITE_STATIC);
}

std::string Text(sqlite3_stmt* statement, int column) {
    const unsigned char* text = sqlite3_column_text(statement, column);
    return text != nullptr ? std::string(reinterpret_cast<const char*>(text),
                                         sqlite3_column_bytes(statement, column))
                           : std::string();
}

// Seq and name, and type and data where the statement has them.
void ReadRow(sqlite3_stmt* statement, ValueRow* row) {
    row->seq = sqlite3_column_int64(statement, 0);
    row->name = Text(statement, 1);
    if (sqlite3_column_count(statement) > 2) {
        row->type = static_cast<DWORD>(sqlite3_column_int64(statement, 2));
        const void* data = sqlite3_column_blob(statement, 3);
        row->data.assign(static_cast<const char*>(data),
                         data != nullptr ? sqlite3_column_bytes(statement, 3) : 0);
    }
}

// Memory that SQLite would otherwise set up for every connection at once: a bulk of page-cache
// slots and a lookaside pool, each written through at the start, which costs a short-lived
// process more page faults than its look-up. Nor is memory counted under a lock at every
// allocation. SQLite takes these only before its first use in the process.
void ConfigureSqliteOnce() {
    static bool configured = false;
    if (!configured) {
        configured = true;
        sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
        sqlite3_config(SQLITE_CONFIG_PAGECACHE, nullptr, 0, 0);
        sqlite3_config(SQLITE_CONFIG_LOOKASIDE, 128, 32);
    }
}

// What the system's `error` means for the database `file`, in words. SQLite tries a file it
// cannot make once more for reading only, and reports why that failed: a WAL or journal that
// cannot be made beside a database that is there comes back as missing.
std::string WhyFailed(const std::string& file, int error) {
    struct stat info {};
    if (error == ENOENT && ::stat(file.c_str(), &info) == 0) {
        std::string why = WhyNoFileCanBeMade(file.substr(0, file.rfind('/') + 1));
        return why.empty() ? "the files kept beside it cannot be made" : why;
    }
    return std::strerror(error);
}

}  // namespace

std::string AsciiFolded(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) {
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return folded;
}

int BusyTimeoutMs() {
    const char* setting = std::getenv("VELMORA_STORE_BUSY_MS");
    int ms = setting != nullptr ? std::atoi(setting) : 0;
    return ms > 0 ? ms : 2000;
}

bool RecentlyBusy(int store) {
    auto since = busySince[store];
    return since != std::chrono::steady_clock::time_point{} &&
           std::chrono::steady_clock::now() - since < std::chrono::milliseconds(BusyTimeoutMs());
}

void WaitedInVain(int store) {
    ++waitsInVain;
    busySince[store] = std::chrono::steady_clock::now();
}

LONG Database::Open(const std::string& file, int store, bool create,
                    std::shared_ptr<Database>* out) {
    StoreFileState state;
    LONG status = JudgeStoreFile(store, file, create, &state);
    if (status == ERROR_SUCCESS && create) {
        status = HookedFailure(store, file, true);
    }
    if (status != ERROR_SUCCESS) {
        return status;
    }
    ConfigureSqliteOnce();
    std::shared_ptr<Database> database(new Database(file, store));
    // SQLite alone opens the file, and makes it when it is missing: a descriptor opened and
    // closed beside it would drop the locks it holds. Neither follows a link in the file's own
    // name; the folder's path comes with its links resolved. The registry functions let one
    // thread at a time reach a connection, so SQLite need not lock it again on every call.
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW | SQLITE_OPEN_NOMUTEX |
                (state.present ? 0 : SQLITE_OPEN_CREATE);
    int rc = sqlite3_open_v2(file.c_str(), &database->db_, flags, nullptr);
    struct stat info {};
    status = rc == SQLITE_OK ? SecureOpenedFile(store, file, &info) : database->Failure(rc);
    if (status != ERROR_SUCCESS) {
        // A file made here stays: another process may have made it first, just before SQLite
        // opened it, and be about to write its schema. Left empty, it reads as no store.
        return status;
    }
    database->device_ = info.st_dev;
    database->inode_ = info.st_ino;
    if (state.readOnly) {
        database->StopWrites(kStoreFaultReadOnly);
    }
    sqlite3* db = database->db_;
    sqlite3_busy_timeout(db, BusyTimeoutMs());
    // The WAL and its index stay on disk between connections: otherwise every start would
    // create both files and every end delete them again, for each short-lived process.
    int persist = 1;
    sqlite3_file_control(db, "main", SQLITE_FCNTL_PERSIST_WAL, &persist);
    // Moving the WAL's pages into the database when the last connection closes is a write: a
    // connection that only read leaves the files as it found them, one that committed does it
    // as SQLite does by default (EndWrite).
    sqlite3_db_config(db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    // None of these settings reads or writes the file.
    std::string settings =
        "PRAGMA synchronous=NORMAL; PRAGMA journal_size_limit=" + std::to_string(kWalSizeLimit);
    status = database->Failure(sqlite3_exec(db, settings.c_str(), nullptr, nullptr, nullptr));
    status = status == ERROR_SUCCESS ? database->CheckStamp(create) : status;
    if (status == ERROR_SUCCESS) {
        *out = std::move(database);
    }
    return status;
}

Database::~Database() {
    for (sqlite3_stmt* statement : statements_) {
        sqlite3_finalize(statement);
    }
    sqlite3_close(db_);
}

LONG Database::CheckStamp(bool create) {
    int id = 0, version = 0;
    LONG status = Run(kReadStamp, [&](sqlite3_stmt* stamp) {
        id = sqlite3_column_int(stamp, 0);
        version = sqlite3_column_int(stamp, 1);
        return false;
    });
    if (status != ERROR_SUCCESS || id == kApplicationId) {
        if (version > kSchemaVersion) {
            StopWrites(kStoreFaultReadOnly,
                       "cannot change " + NamesOf(store_) + ": a newer velmora wrote " + file_ +
                           ", which this one can only read; change them with the newer one");
        }
        return status;
    }
    // Not stamped as ours: a new file, a store of an earlier build, or another program's file,
    // which is not ours to change, not even to WAL mode.
    size_t ours = 0, others = 0;
    status = Run(kObjects, [&](sqlite3_stmt* object) {
        std::string name = Text(object, 0);
        bool known = std::find(std::begin(kSchemaNames), std::end(kSchemaNames), name) !=
                     std::end(kSchemaNames);
        ours += known;
        others += !known;
        return true;
    });
    if (status != ERROR_SUCCESS) {
        return status;
    }
    std::string foreign = "cannot keep " + NamesOf(store_) + " in " + file_ +
                          ": it holds another program's data; name another folder for them in " +
                          FolderVariable(store_);
    if (others != 0 || (id != 0 && ours < std::size(kSchemaNames))) {
        return RecordFaultText(store_, kStoreFaultNotOurs, foreign);
    }
    if (id != 0) {
        StopWrites(kStoreFaultNotOurs, foreign);
        return ERROR_SUCCESS;
    }
    unstamped_ = ours == std::size(kSchemaNames);
    // A file without the schema is a store that a failed start left, or one that another
    // process is making right now: a read finds no store yet, and only a write makes the
    // schema, so that a read neither writes nor waits for the write lock.
    return unstamped_ ? ERROR_SUCCESS : create ? CreateSchema() : ERROR_FILE_NOT_FOUND;
}

LONG Database::CreateSchema() {
    if (refusal_ != kStoreFaultNone) {
        return Refused();
    }
    // Two processes that open a new file at once race for the journal mode and the schema;
    // SQLite reports some of that race at once instead of waiting, so the loser tries again
    // until the time a write waits is over. Only the last attempt's failure is a fault.
    auto run = [this](const char* sql) {
        return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
    };
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(BusyTimeoutMs());
    int rc;
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        sqlite3_busy_timeout(db_, static_cast<int>(std::max<int64_t>(left.count(), 1)));
        rc = run("PRAGMA journal_mode=WAL");
        rc = rc == SQLITE_OK ? run("BEGIN IMMEDIATE") : rc;
        if (rc == SQLITE_OK) {
            rc = run(kSchema);
            rc = rc == SQLITE_OK ? run(kStamp.c_str()) : rc;
            rc = rc == SQLITE_OK ? run("COMMIT") : rc;
            if (rc != SQLITE_OK) {
                run("ROLLBACK");
            }
        }
        if (FaultOfSqlite(rc) != kStoreFaultBusy || std::chrono::steady_clock::now() >= deadline) {
            break;
        }
        ::usleep(10000);
    }
    sqlite3_busy_timeout(db_, BusyTimeoutMs());
    return rc == SQLITE_OK ? ERROR_SUCCESS : Failure(rc);
}

bool Database::StillUsable() const {
    struct stat info {};
    return db_ != nullptr && ::stat(file_.c_str(), &info) == 0 && info.st_dev == device_ &&
           info.st_ino == inode_;
}

LONG Database::Abandon(int kind, const std::string& detail) {
    if (db_ != nullptr) {
        // The statements stay valid, and free the connection when the last is finalized.
        sqlite3_close_v2(db_);
        db_ = nullptr;
        lostFault_ = kind;
        lostDetail_ = detail;
    }
    Record(lostFault_, lostDetail_);
    return StatusOfFault(lostFault_);
}

template <typename... Args>
LONG Database::Run(Query query, const std::function<bool(sqlite3_stmt*)>& row,
                   const Args&... args) {
    if (LONG status = HookedFailure(store_, file_); status != ERROR_SUCCESS) {
        return status;
    }
    if (db_ == nullptr) {
        return Abandon(lostFault_, lostDetail_);
    }
    sqlite3_stmt*& statement = statements_[query];
    int rc = statement != nullptr
                 ? SQLITE_OK
                 : sqlite3_prepare_v3(db_, kQueries[query], -1, SQLITE_PREPARE_PERSISTENT,
                                      &statement, nullptr);
    if (rc == SQLITE_OK) {
        int index = 0;
        (Bind(statement, ++index, args), ...);
    }
    for (bool more = rc == SQLITE_OK; more;) {
        rc = sqlite3_step(statement);
        more = rc == SQLITE_ROW && row && row(statement);
    }
    if (statement != nullptr) {
        // No read stays open between calls.
        sqlite3_reset(statement);
        sqlite3_clear_bindings(statement);
    }
    return rc == SQLITE_DONE || rc == SQLITE_ROW ? ERROR_SUCCESS : Failure(rc);
}

template <typename... Args>
LONG Database::Write(Query query, const Args&... args) {
    LONG status = BeginWrite();
    if (status == ERROR_SUCCESS) {
        status = Run(query, nullptr, args...);
        LONG ended = EndWrite(status == ERROR_SUCCESS);
        status = status == ERROR_SUCCESS ? ended : status;
    }
    return status;
}

LONG Database::Failure(int rc) {
    int kind = FaultOfSqlite(rc);
    if (kind == kStoreFaultDamaged) {
        // A damaged file is never written again through this connection, which the process
        // keeps for as long as the file is there: a write could spread the damage.
        StopWrites(kind);
    }
    bool saysError = kind == kStoreFaultCannotOpen || kind == kStoreFaultIoError;
    int error = saysError ? sqlite3_system_errno(db_) : 0;
    Record(kind, error != 0 ? WhyFailed(file_, error) : "");
    return StatusOfSqlite(rc);
}

void Database::StopWrites(int kind, const std::string& text) {
    refusal_ = kind;
    refusalText_ = text;
    sqlite3_db_config(db_, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
}

LONG Database::Refused() {
    if (refusalText_.empty()) {
        Record(refusal_, "");
    } else {
        RecordFaultText(store_, refusal_, refusalText_);
    }
    return StatusOfFault(refusal_);
}

void Database::Record(int kind, const std::string& detail) const {
    if (kind == kStoreFaultReadOnly) {
        RecordReadOnly(store_, file_);
    } else {
        RecordFault(store_, kind, file_, detail);
    }
}

LONG Database::BeginWrite() {
    LONG status = HookedFailure(store_, file_, true);
    if (status != ERROR_SUCCESS || db_ == nullptr) {
        return status != ERROR_SUCCESS ? status : Abandon(lostFault_, lostDetail_);
    }
    // A write goes to the file the keys were found in, or to none: the keys' numbers of a file
    // that took its place are not those of the keys open on this one.
    if (writeDepth_ == 0 && !StillUsable()) {
        return Abandon(
            kStoreFaultCannotOpen,
            "it was removed or replaced while velmora had it open; run the command again");
    }
    if (refusal_ != kStoreFaultNone) {
        return Refused();
    }
    bool recentlyBusy = writeDepth_ == 0 && RecentlyBusy(store_);
    sqlite3_busy_timeout(db_, recentlyBusy ? 0 : BusyTimeoutMs());
    status = Failure(sqlite3_exec(db_, writeDepth_ == 0 ? "BEGIN IMMEDIATE" : "SAVEPOINT inner",
                                  nullptr, nullptr, nullptr));
    if (status == ERROR_BUSY && !recentlyBusy) {
        WaitedInVain(store_);
    }
    writeDepth_ += status == ERROR_SUCCESS;
    return status;
}

LONG Database::EndWrite(bool commit) {
    if (writeDepth_ == 0) {
        return ERROR_SUCCESS;
    }
    --writeDepth_;
    // What was written is seen by this connection's reads even before the commit, and is gone
    // again after a rollback: either way a read-ahead taken before no longer holds.
    ++changes_;
    auto exec = [this](const char* sql) {
        return Failure(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr));
    };
    if (writeDepth_ > 0) {
        return exec(commit ? "RELEASE inner" : "ROLLBACK TO inner; RELEASE inner");
    }
    LONG status = commit && unstamped_ ? exec(kStamp.c_str()) : ERROR_SUCCESS;
    status = commit && status == ERROR_SUCCESS ? exec("COMMIT") : status;
    if (commit && status == ERROR_SUCCESS) {
        unstamped_ = false;
        sqlite3_db_config(db_, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, refusal_ != kStoreFaultNone,
                          nullptr);
        return ERROR_SUCCESS;
    }
    // Fails only where nothing is left to roll back; the fault that led here is the one to keep.
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    ReleaseWal();
    return status;
}

LONG Database::FlushWrites() {
    if (writeDepth_ == 0) {
        return ERROR_SUCCESS;
    }
    LONG status = HookedFailure(store_, file_, true);
    return status == ERROR_SUCCESS ? Failure(sqlite3_db_cacheflush(db_)) : status;
}

void Database::ReleaseWal() {
    // The pages of a transaction rolled back stay in the WAL, beyond its end, until a later
    // commit starts it over: those of a large import that met a full disk would keep the disk
    // full. A checkpoint that cuts the WAL to nothing frees them; it is not waited for, since
    // another process's reads or writes keep it from cutting, and their own end does it then.
    struct stat wal {};
    if (refusal_ == kStoreFaultNone && ::stat((file_ + "-wal").c_str(), &wal) == 0 &&
        wal.st_size != 0) {
        sqlite3_busy_timeout(db_, 0);
        sqlite3_wal_checkpoint_v2(db_, "main", SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
        sqlite3_busy_timeout(db_, BusyTimeoutMs());
    }
}

LONG Database::FindKey(const std::string& path, int64_t* id) {
    bool found = false;
    LONG status = Run(
        kFindKey,
        [&](sqlite3_stmt* key) {
            *id = sqlite3_column_int64(key, 0);
            return !(found = true);
        },
        path);
    return status == ERROR_SUCCESS && !found ? ERROR_FILE_NOT_FOUND : status;
}

LONG Database::CreateKey(const std::string& path, int64_t* id) {
    LONG status = Write(kInsertKey, path);
    return status == ERROR_SUCCESS ? FindKey(path, id) : status;
}

LONG Database::SetValue(int64_t key, const std::string& name, DWORD type, const BYTE* data,
                        DWORD size) {
    if (name.size() > kLongestValueName) {
        return ERROR_INVALID_PARAMETER;
    }
    return Write(kSetValue, key, name, int64_t{type}, Blob{data, size});
}

LONG Database::GetValue(int64_t key, const std::string& name, ValueRow* row) {
    bool found = false;
    LONG status = Run(
        kGetValue,
        [&](sqlite3_stmt* value) {
            ReadRow(value, row);
            return !(found = true);
        },
        key, name);
    return status == ERROR_SUCCESS && !found ? ERROR_FILE_NOT_FOUND : status;
}

LONG Database::DeleteValue(int64_t key, const std::string& name) {
    LONG status = Write(kDeleteValue, key, name);
    return status == ERROR_SUCCESS && sqlite3_changes(db_) == 0 ? ERROR_FILE_NOT_FOUND : status;
}

void Database::MapForWalks() {
    // A walk over a large key reads its pages through a mapping of the file rather than copies
    // in the cache, faulting them in a run at a time. A start that looks up one value does
    // better without: mapping at every open made BM_OpenLookupClose at 100,000 names take
    // 0.52 ms against 0.31 ms.
    if (!mapped_ && db_ != nullptr) {
        mapped_ = true;
        std::string size = "PRAGMA mmap_size=" + std::to_string(kMappedSize);
        sqlite3_exec(db_, size.c_str(), nullptr, nullptr, nullptr);
    }
}

LONG Database::Values(Query query, int64_t key, From from, DWORD limit,
                      std::vector<ValueRow>* rows) {
    rows->clear();
    MapForWalks();
    LONG status = Run(
        query,
        [rows](sqlite3_stmt* value) {
            ReadRow(value, &rows->emplace_back());
            return true;
        },
        key, from, int64_t{limit});
    return status == ERROR_SUCCESS && rows->empty() ? ERROR_NO_MORE_ITEMS : status;
}

LONG Database::ValueStats(int64_t key, DWORD* count, DWORD* maxNameLen, DWORD* maxDataLen) {
    bool lengths = maxNameLen != nullptr || maxDataLen != nullptr;
    MapForWalks();
    return Run(
        lengths ? kValueStats : kCountValues,
        [&](sqlite3_stmt* stats) {
            *count = static_cast<DWORD>(sqlite3_column_int64(stats, 0));
            if (maxNameLen != nullptr) {
                *maxNameLen = static_cast<DWORD>(sqlite3_column_int64(stats, 1));
            }
            if (maxDataLen != nullptr) {
                *maxDataLen = static_cast<DWORD>(sqlite3_column_int64(stats, 2));
            }
            return false;
        },
        key);
}

}  // namespace velmora::registry

unsigned VelmoraLockWaitsInVain(void) {
    return velmora::registry::waitsInVain;
}
