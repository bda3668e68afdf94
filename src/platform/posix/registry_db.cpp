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
#include <cstring>
#include <iterator>
#include <string_view>

#include "../test_hooks.h"
#include "fault_log.h"
#include "store_file.h"
#include "store_location.h"

namespace velmora::registry {

namespace {

// A WAL that grew past this (a large import) is cut back to it after a checkpoint; a closing
// connection that checkpoints empties it.
constexpr int kWalSizeLimit = 1024 * 1024;

// Waits for a write lock that ended in vain, counted for tests (test_hooks.h).
std::atomic<unsigned> waitsInVain{0};

// The most of a database file read through a mapping (address space, not memory).
constexpr int64_t kMappedSize = 256 * 1024 * 1024;

// The registry holds value names of up to 16,383 bytes and refuses to store longer ones. Older
// code stored longer names; those stay readable, listed and deletable, so that nothing a user
// stored is hidden and it can still be removed.
constexpr size_t kMaxValueName = 16383;

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
// The schema's objects, every one there in a database that needs no schema made; SQLite's own,
// named sqlite_..., are neither ours nor another program's. The names are told apart here rather
// than in SQL, which SQLite would compile at every start.
const char* const kSchemaCheck = "SELECT name FROM sqlite_master";
const char* const kSchemaNames[] = {"keys", "vals", "vals_order"};

// In the order of Database::Query.
const char* const kQueries[] = {
    "SELECT id FROM keys WHERE path = ?1",
    "INSERT OR IGNORE INTO keys(path) VALUES(?1)",
    "SELECT COUNT(*) FROM keys WHERE substr(path, 1, length(?1) + 1) = ?1 || '\\' "
    "AND instr(substr(path, length(?1) + 2), '\\') = 0",
    // A value written again under another spelling of its name takes that spelling: the name
    // a user just typed is the one to list, not the one typed first.
    "INSERT INTO vals(key, name, seq, type, data) VALUES(?1, ?2, "
    "(SELECT COALESCE(MAX(seq), 0) + 1 FROM vals WHERE key = ?1), ?3, ?4) "
    "ON CONFLICT(key, name) DO UPDATE SET name = excluded.name, type = excluded.type, "
    "data = excluded.data",
    "SELECT seq, name, type, data FROM vals WHERE key = ?1 AND name = ?2",
    "DELETE FROM vals WHERE key = ?1 AND name = ?2",
    "SELECT seq, name, type, data FROM vals WHERE key = ?1 AND seq > ?2 ORDER BY seq LIMIT ?3",
    "SELECT seq, name, type, data FROM vals WHERE key = ?1 ORDER BY seq LIMIT ?3 OFFSET ?2",
    // Names alone come from the order index, which holds them beside the sequence numbers: no
    // look-up in the table per value.
    "SELECT seq, name FROM vals WHERE key = ?1 AND seq > ?2 ORDER BY seq LIMIT ?3",
    "SELECT seq, name FROM vals WHERE key = ?1 ORDER BY seq LIMIT ?3 OFFSET ?2",
    "SELECT COUNT(*), COALESCE(MAX(length(CAST(name AS BLOB))), 0), "
    "COALESCE(MAX(length(data)), 0) FROM vals WHERE key = ?1",
    "SELECT COUNT(*) FROM vals WHERE key = ?1",
    // The names ignoring ASCII case sort as their folded bytes do, so those that begin with a
    // text follow it at once in the name index, one run up to the first that does not.
    "SELECT name FROM vals WHERE key = ?1 AND name >= ?2 ORDER BY name LIMIT ?3",
    "SELECT name FROM vals WHERE key = ?1 AND name > ?2 ORDER BY name LIMIT ?3",
    // Whole values in the order of the table itself, which holds them by name: a walk that does
    // not need the order index.
    "SELECT seq, name, type, data FROM vals WHERE key = ?1 AND name >= ?2 ORDER BY name LIMIT ?3",
    "SELECT seq, name, type, data FROM vals WHERE key = ?1 AND name > ?2 ORDER BY name LIMIT ?3",
    // The same read backwards, which reaches an entry of an inner page from the page after it.
    "SELECT seq, name FROM vals WHERE key = ?1 AND seq <= ?2 ORDER BY seq DESC LIMIT ?3",
    "SELECT seq, name, type, data FROM vals WHERE key = ?1 AND name <= ?2 ORDER BY name DESC "
    "LIMIT ?3",
};

// Resets a statement when the scope ends, so that no read stays open between calls.
class StatementScope {
  public:
    explicit StatementScope(sqlite3_stmt* statement) : statement_(statement) {}
    ~StatementScope() {
        sqlite3_reset(statement_);
        sqlite3_clear_bindings(statement_);
    }
    StatementScope(const StatementScope&) = delete;
    StatementScope& operator=(const StatementScope&) = delete;

  private:
    sqlite3_stmt* statement_;
};

// The store fault that SQLite's code `rc` stands for; running out of memory is none.
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

// Whether a fault of this kind is said with what the system reported: the others say all there
// is to say.
bool SaysSystemError(int kind) {
    return kind == kStoreFaultCannotOpen || kind == kStoreFaultIoError;
}

// The first `size` bytes of `a` and `b` are the same as the NOCASE collation compares them: only
// ASCII letters fold, whatever the locale.
bool SameIgnoringAsciiCase(const char* a, const char* b, size_t size) {
    auto folded = [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    };
    for (size_t i = 0; i < size; ++i) {
        if (folded(a[i]) != folded(b[i])) {
            return false;
        }
    }
    return true;
}

void ReadRow(sqlite3_stmt* statement, ValueRow* row) {
    row->seq = sqlite3_column_int64(statement, 0);
    row->name.assign(reinterpret_cast<const char*>(sqlite3_column_text(statement, 1)),
                     sqlite3_column_bytes(statement, 1));
    row->type = static_cast<DWORD>(sqlite3_column_int64(statement, 2));
    const void* data = sqlite3_column_blob(statement, 3);
    row->data.assign(static_cast<const char*>(data), data ? sqlite3_column_bytes(statement, 3) : 0);
}

// Memory that SQLite would otherwise set up for every connection at once: a bulk of page-cache
// slots and a lookaside pool, each written through at the start. A short-lived process touches
// a handful of pages per look-up, and every page it touches first costs a page fault, which
// costs more than the look-up itself; so cache pages are taken one at a time and the pool stays
// small. Nothing here asks SQLite how much memory it holds, which it would otherwise count under
// a lock at every allocation. These settings are the process's, and SQLite takes them only
// before its first use: where another part of the process used SQLite first, they stay as that
// part left them.
void ConfigureSqliteOnce() {
    static bool configured = false;
    if (!configured) {
        configured = true;
        sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
        sqlite3_config(SQLITE_CONFIG_PAGECACHE, nullptr, 0, 0);
        sqlite3_config(SQLITE_CONFIG_LOOKASIDE, 128, 32);
    }
}

// SQLite's URI for `file` read with the shared WAL index left as it is: SQLite then maps the
// index only to read it where another connection keeps it up, and otherwise reads the WAL
// itself (an empty one at most starts, since the last writer to close empties it). The three
// characters that mean something in a URI's path are escaped.
std::string ReadingUri(const std::string& file) {
    std::string uri = "file://";
    for (char c : file) {
        if (c == '%' || c == '?' || c == '#') {
            static const char kHex[] = "0123456789ABCDEF";
            uri += '%';
            uri += kHex[static_cast<unsigned char>(c) >> 4];
            uri += kHex[static_cast<unsigned char>(c) & 0xF];
        } else {
            uri += c;
        }
    }
    return uri + "?readonly_shm=1";
}

// The VFS of the connections opened for reading: the system's own, except that it never sleeps.
// SQLite sleeps only to wait: for a lock, or before it tries again to read an index that it
// cannot trust, such as the one a crashed writer left beside a WAL cut to its header, which a
// reader cannot rebuild and tries for ten seconds. Such a connection gives up at once instead,
// and the read goes to a connection that writes, which waits where waiting helps and rebuilds
// the index.
const char* ReadingVfs() {
    static sqlite3_vfs vfs = [] {
        sqlite3_vfs system = *sqlite3_vfs_find(nullptr);
        system.zName = "velmora-reading";
        system.xSleep = [](sqlite3_vfs*, int microseconds) { return microseconds; };
        return system;
    }();
    static bool registered = sqlite3_vfs_register(&vfs, 0) == SQLITE_OK;
    return registered ? vfs.zName : nullptr;
}

}  // namespace

std::chrono::steady_clock::time_point WaitEndedInVain() {
    ++waitsInVain;
    return std::chrono::steady_clock::now();
}

bool RecentlyBusy(std::chrono::steady_clock::time_point since) {
    return since != std::chrono::steady_clock::time_point{} &&
           std::chrono::steady_clock::now() - since <
               std::chrono::milliseconds(Database::kBusyTimeoutMs);
}

LONG StatusFromSqlite(int rc) {
    switch (rc & 0xFF) {
        case SQLITE_OK:
        case SQLITE_DONE:
        case SQLITE_ROW:
            return ERROR_SUCCESS;
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return ERROR_BUSY;
        case SQLITE_NOMEM:
            return ERROR_NOT_ENOUGH_MEMORY;
        case SQLITE_PERM:
        case SQLITE_AUTH:
            return ERROR_ACCESS_DENIED;
        case SQLITE_CANTOPEN:
            return ERROR_CANTOPEN;
        case SQLITE_READONLY:
        case SQLITE_FULL:
        case SQLITE_IOERR:
            return ERROR_CANTWRITE;
        default:
            return ERROR_BADDB;
    }
}

LONG Database::Open(const std::string& file, int store, bool create,
                    std::shared_ptr<Database>* out) {
    StoreFileState state;
    if (LONG status = JudgeStoreFile(store, file, create, &state); status != ERROR_SUCCESS) {
        return status;
    }
    std::shared_ptr<Database> database(new Database(file, store));
    ConfigureSqliteOnce();
    // SQLite alone opens the file, and makes it when it is missing: a descriptor opened and
    // closed beside it would drop the locks it holds. Neither follows a link in the file's own
    // name; the folder's path comes with its links resolved.
    if (create) {
        if (LONG status = HookedWriteFailure(store, file); status != ERROR_SUCCESS) {
            return status;
        }
    }
    database->quick_ = state.present && !create;
    int rc = database->Connect(state.present ? 0 : SQLITE_OPEN_CREATE);
    if (rc != SQLITE_OK && database->quick_) {
        // Whatever kept it from opening for reading, a full connection meets it or not.
        sqlite3_close(database->db_);
        database->db_ = nullptr;
        database->quick_ = false;
        rc = database->Connect(0);
    }
    struct stat info {};
    LONG status = rc == SQLITE_OK ? SecureOpenedFile(store, file, &info) : database->Failure(rc);
    if (status == ERROR_SUCCESS) {
        database->device_ = info.st_dev;
        database->inode_ = info.st_ino;
        if (state.readOnly) {
            database->StopWrites(kStoreFaultReadOnly);
        }
        status = database->Failure(database->Configure());
    }
    if (status == ERROR_SUCCESS) {
        status = database->Retried([&]() -> LONG { return database->EnsureSchema(create); });
    }
    if (status != ERROR_SUCCESS) {
        // A file made here stays: another process may have made it first, just before SQLite
        // opened it, and be about to write its schema. Left empty, it reads as no store.
        return status;
    }
    // The schema check has read the database, which maps the shared WAL index of a connection
    // that keeps it.
    if (!database->quick_) {
        database->watch_.Attach(database->db_);
    }
    *out = std::move(database);
    return ERROR_SUCCESS;
}

Database::~Database() {
    for (sqlite3_stmt* statement : statements_) {
        sqlite3_finalize(statement);
    }
    sqlite3_close(db_);
}

bool Database::StillUsable() const {
    struct stat info {};
    return db_ != nullptr && ::stat(file_.c_str(), &info) == 0 && info.st_dev == device_ &&
           info.st_ino == inode_;
}

int Database::Connect(int flags) {
    // The registry functions let one thread at a time reach a connection, so SQLite need not lock
    // it again on every call.
    flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW | SQLITE_OPEN_NOMUTEX;
    return quick_ ? sqlite3_open_v2(ReadingUri(file_).c_str(), &db_, flags | SQLITE_OPEN_URI,
                                    ReadingVfs())
                  : sqlite3_open_v2(file_.c_str(), &db_, flags, nullptr);
}

LONG Database::Configure() {
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    // The WAL and its index stay on disk between connections: otherwise every start would
    // create both files and every end delete them again, for each short-lived process.
    int persist = 1;
    sqlite3_file_control(db_, "main", SQLITE_FCNTL_PERSIST_WAL, &persist);
    // Moving the WAL's pages into the database when the last connection closes is a write: a
    // connection that only read leaves the files as it found them, one that committed does it
    // as SQLite does by default (EndWrite).
    sqlite3_db_config(db_, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
    if (quick_) {
        // A read of a few pages is done sooner by copying them than by mapping the file, and
        // the other settings concern writes.
        return SQLITE_OK;
    }
    // Settings of this connection only; none reads or writes the file. Pages are read through a
    // mapping of the file rather than copied into the cache: a walk over a large key then faults
    // in the file's pages a run at a time instead of every cache page it fills.
    std::string settings =
        "PRAGMA synchronous=NORMAL; PRAGMA mmap_size=" + std::to_string(kMappedSize) +
        "; PRAGMA journal_size_limit=" + std::to_string(kWalSizeLimit);
    return sqlite3_exec(db_, settings.c_str(), nullptr, nullptr, nullptr);
}

LONG Database::Settle(bool toWrite) {
    if (db_ == nullptr) {
        return Lost();
    }
    if (!quick_ || (unsettled_ && !toWrite)) {
        return ERROR_SUCCESS;
    }
    quick_ = false;
    quickFailed_ = false;
    Disconnect();
    int hooked = HookedWriteFault(store_);
    int rc = hooked == kStoreFaultNone ? Connect(0) : SQLITE_OK;
    // SQLite's handle of a failed open takes no more calls but this one.
    int error = rc != SQLITE_OK ? sqlite3_system_errno(db_) : 0;
    // The connection reads the file it was judged by, or none: the keys' numbers of another
    // file are not those of the keys open on this one.
    struct stat info {};
    if (::lstat(file_.c_str(), &info) != 0 || info.st_dev != device_ || info.st_ino != inode_) {
        return rc != SQLITE_OK
                   ? Abandon(StatusFromSqlite(rc), FaultOfSqlite(rc),
                             error != 0 ? std::strerror(error) : "")
                   : Abandon(StatusOfFault(kStoreFaultCannotOpen), kStoreFaultCannotOpen,
                             "it was replaced while velmora had it open; run the command again");
    }
    if (rc == SQLITE_OK && hooked == kStoreFaultNone) {
        if (refusal_ != kStoreFaultNone) {
            StopWrites(refusal_);
        }
        rc = Configure();
        // Reading the schema maps the shared index, which the watch reads from then on.
        rc = rc == SQLITE_OK ? sqlite3_exec(db_, "SELECT 1 FROM sqlite_master LIMIT 1", nullptr,
                                            nullptr, nullptr)
                             : rc;
        if (rc == SQLITE_OK) {
            watch_.Attach(db_);
            unsettled_ = false;
            return ERROR_SUCCESS;
        }
        error = sqlite3_system_errno(db_);
    }
    // A connection that writes keeps the shared index up, which a full or failing disk can
    // refuse while the file itself is still read: the store is read on through a connection for
    // reading, and only a write meets the fault, trying again each time.
    int kind = hooked != kStoreFaultNone ? hooked : FaultOfSqlite(rc);
    LONG status = hooked != kStoreFaultNone ? StatusOfFault(kind) : StatusFromSqlite(rc);
    std::string detail = SaysSystemError(kind) && error != 0 ? WhyFailed(error) : "";
    Disconnect();
    quick_ = true;
    if (Connect(0) != SQLITE_OK) {
        return Abandon(status, kind, detail);
    }
    Configure();
    if (kind == kStoreFaultDamaged) {
        StopWrites(kind);
    }
    unsettled_ = true;
    if (!toWrite && kind != kStoreFaultDamaged) {
        return ERROR_SUCCESS;
    }
    Record(kind, detail);
    return status;
}

void Database::Disconnect() {
    for (sqlite3_stmt*& statement : statements_) {
        sqlite3_finalize(statement);
        statement = nullptr;
    }
    sqlite3_close(db_);
    db_ = nullptr;
}

LONG Database::Abandon(LONG status, int kind, const std::string& detail) {
    sqlite3_close(db_);
    db_ = nullptr;
    lostStatus_ = status;
    lostFault_ = kind;
    lostDetail_ = detail;
    return Lost();
}

LONG Database::Lost() {
    Record(lostFault_, lostDetail_);
    return lostStatus_;
}

template <typename Read>
LONG Database::Retried(Read read) {
    quickFailed_ = false;
    LONG status = read();
    if (quickFailed_) {
        LONG settled = Settle(false);
        status = settled == ERROR_SUCCESS ? read() : settled;
    }
    return status;
}

LONG Database::EnsureSchema(bool create) {
    // Every database this code made holds the schema, so a read shows whether it must be made:
    // only a new file takes the write lock at its first start. A file with tables of another
    // program is not ours to change, not even to WAL mode.
    sqlite3_stmt* check = nullptr;
    int rc = sqlite3_prepare_v2(db_, kSchemaCheck, -1, &check, nullptr);
    size_t ours = 0, others = 0;
    while (rc == SQLITE_OK && (rc = sqlite3_step(check)) == SQLITE_ROW) {
        const char* name = reinterpret_cast<const char*>(sqlite3_column_text(check, 0));
        std::string_view object = name != nullptr ? name : "";
        bool known = std::find(std::begin(kSchemaNames), std::end(kSchemaNames), object) !=
                     std::end(kSchemaNames);
        ours += known;
        others += !known && object.compare(0, 7, "sqlite_") != 0;
        rc = SQLITE_OK;
    }
    rc = rc == SQLITE_DONE ? SQLITE_OK : rc;
    sqlite3_finalize(check);
    if (rc != SQLITE_OK) {
        return Failure(rc);
    }
    if (others != 0) {
        RecordFault(store_, kStoreFaultNotOurs, file_, "it holds another program's data",
                    std::string("name another folder for them in ") + FolderVariable(store_));
        return StatusOfFault(kStoreFaultNotOurs);
    }
    if (ours == 0 && !create) {
        // A file without the schema is a store that a failed start left, or one that another
        // process is making right now: a read finds no store yet, and only a write makes the
        // schema, so that a read neither writes nor waits for the write lock.
        return ERROR_FILE_NOT_FOUND;
    }
    return ours == std::size(kSchemaNames) ? ERROR_SUCCESS : CreateSchema();
}

LONG Database::CreateSchema() {
    if (LONG status = Settle(true); status != ERROR_SUCCESS) {
        return status;
    }
    if (refusal_ != kStoreFaultNone) {
        return Refused();
    }
    // Two processes that open a new file at once race for the journal mode and the schema;
    // SQLite reports some of that race at once instead of waiting, so the loser tries again
    // until the time a write waits is over. Only the last attempt's failure is a fault.
    auto run = [this](const char* sql) {
        return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
    };
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBusyTimeoutMs);
    int rc;
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        sqlite3_busy_timeout(db_, static_cast<int>(std::max<int64_t>(left.count(), 1)));
        rc = run("PRAGMA journal_mode=WAL");
        if (rc == SQLITE_OK) {
            rc = run("BEGIN IMMEDIATE");
        }
        if (rc == SQLITE_OK) {
            rc = run(kSchema);
            rc = rc == SQLITE_OK ? run("COMMIT") : rc;
            if (rc != SQLITE_OK) {
                run("ROLLBACK");
            }
        }
        if (StatusFromSqlite(rc) != ERROR_BUSY || std::chrono::steady_clock::now() >= deadline) {
            break;
        }
        ::usleep(10000);
    }
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    return rc == SQLITE_OK ? ERROR_SUCCESS : Failure(rc);
}

LONG Database::Use(Query query, sqlite3_stmt** statement) {
    if (LONG status = HookedFailure(store_, file_); status != ERROR_SUCCESS) {
        return status;
    }
    if (db_ == nullptr) {
        return Lost();
    }
    if (statements_[query] == nullptr) {
        int rc = sqlite3_prepare_v3(db_, kQueries[query], -1, SQLITE_PREPARE_PERSISTENT,
                                    &statements_[query], nullptr);
        if (rc != SQLITE_OK) {
            return Failure(rc);
        }
    }
    *statement = statements_[query];
    return ERROR_SUCCESS;
}

LONG Database::Exec(const char* sql) {
    return Failure(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr));
}

LONG Database::Failure(int rc) {
    if (quick_ && !unsettled_ && StatusFromSqlite(rc) != ERROR_SUCCESS) {
        // Said only if a connection that keeps the index fails too (Retried).
        quickFailed_ = true;
        return StatusFromSqlite(rc);
    }
    int kind = FaultOfSqlite(rc);
    if (kind == kStoreFaultDamaged) {
        // A damaged file is never written again through this connection, which the process
        // keeps for as long as the file is there: a write could spread the damage.
        StopWrites(kind);
    }
    int error = SaysSystemError(kind) ? sqlite3_system_errno(db_) : 0;
    Record(kind, error != 0 ? WhyFailed(error) : "");
    return StatusFromSqlite(rc);
}

std::string Database::WhyFailed(int error) const {
    // SQLite tries a file it cannot make once more for reading only, and reports why that failed:
    // a WAL or journal that cannot be made beside a database that is there comes back as missing.
    struct stat info {};
    if (error == ENOENT && ::stat(file_.c_str(), &info) == 0) {
        std::string why = WhyNoFileCanBeMade(file_.substr(0, file_.rfind('/') + 1));
        return why.empty() ? "the files kept beside it cannot be made" : why;
    }
    return std::strerror(error);
}

void Database::StopWrites(int kind) {
    refusal_ = kind;
    sqlite3_db_config(db_, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
}

LONG Database::Refused() {
    Record(refusal_, "");
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
    if (LONG status = HookedFailure(store_, file_); status != ERROR_SUCCESS) {
        return status;
    }
    if (LONG status = HookedWriteFailure(store_, file_); status != ERROR_SUCCESS) {
        return status;
    }
    if (LONG status = Settle(true); status != ERROR_SUCCESS) {
        return status;
    }
    if (refusal_ != kStoreFaultNone) {
        return Refused();
    }
    bool recentlyBusy = writeDepth_ == 0 && RecentlyBusy(busySince_);
    if (recentlyBusy) {
        sqlite3_busy_timeout(db_, 0);
    }
    LONG status = Exec(writeDepth_ == 0 ? "BEGIN IMMEDIATE" : "SAVEPOINT inner");
    if (recentlyBusy) {
        sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    } else if (status == ERROR_BUSY) {
        busySince_ = WaitEndedInVain();
    }
    if (status == ERROR_SUCCESS) {
        ++writeDepth_;
    }
    return status;
}

LONG Database::EndWrite(bool commit) {
    if (writeDepth_ == 0) {
        return ERROR_SUCCESS;
    }
    --writeDepth_;
    // What was written is seen by this connection's reads even before the commit, and is gone
    // again after a rollback: either way a read-ahead taken before no longer holds.
    ++localChanges_;
    if (writeDepth_ > 0) {
        return Exec(commit ? "RELEASE inner" : "ROLLBACK TO inner; RELEASE inner");
    }
    LONG status = commit ? Exec("COMMIT") : ERROR_SUCCESS;
    if (commit && status == ERROR_SUCCESS && refusal_ == kStoreFaultNone) {
        sqlite3_db_config(db_, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 0, nullptr);
    }
    if (!commit || status != ERROR_SUCCESS) {
        // Fails only where nothing is left to roll back; the fault that led here is the one
        // to keep.
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        ReleaseWal();
    }
    return status;
}

LONG Database::FlushWrites() {
    if (writeDepth_ == 0) {
        return ERROR_SUCCESS;
    }
    if (LONG status = HookedFailure(store_, file_); status != ERROR_SUCCESS) {
        return status;
    }
    if (LONG status = HookedWriteFailure(store_, file_); status != ERROR_SUCCESS) {
        return status;
    }
    return Failure(sqlite3_db_cacheflush(db_));
}

void Database::ReleaseWal() {
    // The pages of a transaction rolled back stay in the WAL, beyond its end, until a later
    // commit starts it over: those of a large import that met a full disk would keep the disk
    // full. A checkpoint that cuts the WAL to nothing frees them; it is not waited for, since
    // another process's reads or writes keep it from cutting, and their own end does it then.
    struct stat wal {};
    if (refusal_ != kStoreFaultNone || ::stat((file_ + "-wal").c_str(), &wal) != 0 ||
        wal.st_size == 0) {
        return;
    }
    sqlite3_busy_timeout(db_, 0);
    sqlite3_wal_checkpoint_v2(db_, "main", SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
}

LONG Database::Write(sqlite3_stmt* statement) {
    StatementScope scope(statement);
    LONG status = BeginWrite();
    if (status != ERROR_SUCCESS) {
        return status;
    }
    int rc = sqlite3_step(statement);
    if (rc != SQLITE_DONE) {
        EndWrite(false);
        return Failure(rc);
    }
    return EndWrite(true);
}

LONG Database::FindKey(const std::string& path, int64_t* id) {
    return Retried([&]() -> LONG {
        sqlite3_stmt* statement = nullptr;
        if (LONG status = Use(kFindKey, &statement); status != ERROR_SUCCESS) {
            return status;
        }
        StatementScope scope(statement);
        sqlite3_bind_text(statement, 1, path.data(), static_cast<int>(path.size()), SQLITE_STATIC);
        int rc = sqlite3_step(statement);
        if (rc == SQLITE_ROW) {
            *id = sqlite3_column_int64(statement, 0);
            return ERROR_SUCCESS;
        }
        return rc == SQLITE_DONE ? ERROR_FILE_NOT_FOUND : Failure(rc);
    });
}

LONG Database::CreateKey(const std::string& path, bool (*exists)(const std::string&), int64_t* id) {
    if (LONG status = Settle(true); status != ERROR_SUCCESS) {
        return status;
    }
    sqlite3_stmt* insert = nullptr;
    LONG status = Use(kInsertKey, &insert);
    if (status == ERROR_SUCCESS) {
        status = BeginWrite();
    }
    if (status != ERROR_SUCCESS) {
        return status;
    }
    // Every ancestor that exists nowhere yet is created with the key, in the same database,
    // so that it takes the same option.
    for (size_t end = 0; status == ERROR_SUCCESS && end != std::string::npos;) {
        end = path.find('\\', end + 1);
        std::string prefix = path.substr(0, end);
        if (end != std::string::npos && exists(prefix)) {
            continue;
        }
        StatementScope scope(insert);
        sqlite3_bind_text(insert, 1, prefix.data(), static_cast<int>(prefix.size()),
                          SQLITE_TRANSIENT);
        int rc = sqlite3_step(insert);
        status = rc == SQLITE_DONE ? ERROR_SUCCESS : Failure(rc);
    }
    if (status == ERROR_SUCCESS) {
        status = FindKey(path, id);
    }
    LONG ended = EndWrite(status == ERROR_SUCCESS);
    return status == ERROR_SUCCESS ? ended : status;
}

LONG Database::CountSubKeys(const std::string& path, DWORD* count) {
    return Retried([&]() -> LONG {
        sqlite3_stmt* statement = nullptr;
        if (LONG status = Use(kCountSubKeys, &statement); status != ERROR_SUCCESS) {
            return status;
        }
        StatementScope scope(statement);
        sqlite3_bind_text(statement, 1, path.data(), static_cast<int>(path.size()), SQLITE_STATIC);
        int rc = sqlite3_step(statement);
        if (rc != SQLITE_ROW) {
            return Failure(rc);
        }
        *count += static_cast<DWORD>(sqlite3_column_int64(statement, 0));
        return ERROR_SUCCESS;
    });
}

LONG Database::SetValue(int64_t key, const char* name, DWORD type, const BYTE* data, DWORD size) {
    if (LONG status = Settle(true); status != ERROR_SUCCESS) {
        return status;
    }
    sqlite3_stmt* statement = nullptr;
    if (LONG status = Use(kSetValue, &statement); status != ERROR_SUCCESS) {
        return status;
    }
    if (std::strlen(name) > kMaxValueName) {
        return ERROR_INVALID_PARAMETER;
    }
    sqlite3_bind_int64(statement, 1, key);
    sqlite3_bind_text(statement, 2, name, -1, SQLITE_STATIC);
    sqlite3_bind_int64(statement, 3, type);
    sqlite3_bind_blob(statement, 4, data != nullptr ? data : reinterpret_cast<const BYTE*>(""),
                      static_cast<int>(size), SQLITE_STATIC);
    return Write(statement);
}

LONG Database::GetValue(int64_t key, const char* name, ValueRow* row) {
    return Retried([&]() -> LONG {
        sqlite3_stmt* statement = nullptr;
        if (LONG status = Use(kGetValue, &statement); status != ERROR_SUCCESS) {
            return status;
        }
        StatementScope scope(statement);
        sqlite3_bind_int64(statement, 1, key);
        sqlite3_bind_text(statement, 2, name, -1, SQLITE_STATIC);
        int rc = sqlite3_step(statement);
        if (rc == SQLITE_ROW) {
            ReadRow(statement, row);
            return ERROR_SUCCESS;
        }
        return rc == SQLITE_DONE ? ERROR_FILE_NOT_FOUND : Failure(rc);
    });
}

LONG Database::AnyNameBeginsWith(int64_t key, const char* prefix) {
    std::vector<std::string> first;
    LONG status = NamesBeginningWith(key, prefix, nullptr, 1, &first);
    return status == ERROR_NO_MORE_ITEMS ? ERROR_FILE_NOT_FOUND : status;
}

LONG Database::NamesBeginningWith(int64_t key, const char* prefix, const std::string* after,
                                  DWORD limit, std::vector<std::string>* names) {
    return Retried([&]() -> LONG {
        names->clear();
        sqlite3_stmt* statement = nullptr;
        if (LONG status = Use(after != nullptr ? kNamesAfter : kNamesFrom, &statement);
            status != ERROR_SUCCESS) {
            return status;
        }
        StatementScope scope(statement);
        sqlite3_bind_int64(statement, 1, key);
        if (after != nullptr) {
            sqlite3_bind_text(statement, 2, after->data(), static_cast<int>(after->size()),
                              SQLITE_STATIC);
        } else {
            sqlite3_bind_text(statement, 2, prefix, -1, SQLITE_STATIC);
        }
        sqlite3_bind_int64(statement, 3, limit);
        size_t prefixSize = std::strlen(prefix);
        int rc;
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
            const char* name = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
            if (name == nullptr) {
                return Failure(sqlite3_errcode(db_));
            }
            size_t size = static_cast<size_t>(sqlite3_column_bytes(statement, 0));
            if (size < prefixSize || !SameIgnoringAsciiCase(name, prefix, prefixSize)) {
                rc = SQLITE_DONE;
                break;
            }
            names->emplace_back(name, size);
        }
        if (rc != SQLITE_DONE) {
            return Failure(rc);
        }
        return names->empty() ? ERROR_NO_MORE_ITEMS : ERROR_SUCCESS;
    });
}

LONG Database::DeleteValue(int64_t key, const char* name) {
    if (LONG status = Settle(true); status != ERROR_SUCCESS) {
        return status;
    }
    sqlite3_stmt* statement = nullptr;
    if (LONG status = Use(kDeleteValue, &statement); status != ERROR_SUCCESS) {
        return status;
    }
    sqlite3_bind_int64(statement, 1, key);
    sqlite3_bind_text(statement, 2, name, -1, SQLITE_STATIC);
    LONG status = Write(statement);
    if (status == ERROR_SUCCESS && sqlite3_changes(db_) == 0) {
        return ERROR_FILE_NOT_FOUND;
    }
    return status;
}

LONG Database::ValuesAfter(int64_t key, int64_t afterSeq, DWORD limit, bool namesOnly,
                           ValueList* values) {
    return ReadValues(namesOnly ? kNamesAfterSeq : kValuesAfterSeq, key, afterSeq, limit, values);
}

LONG Database::ValuesFrom(int64_t key, DWORD offset, DWORD limit, bool namesOnly,
                          ValueList* values) {
    return ReadValues(namesOnly ? kNamesAtOffset : kValuesAtOffset, key, offset, limit, values);
}

LONG Database::SalvageInOrder(int64_t key, int64_t afterSeq, DWORD limit, ValueList* names) {
    return ReadValues(
        kNamesAfterSeq, key, [&](sqlite3_stmt* s) { sqlite3_bind_int64(s, 2, afterSeq); }, limit,
        names, true);
}

LONG Database::SalvageByName(int64_t key, const std::string* after, DWORD limit,
                             ValueList* values) {
    return ReadValues(
        after != nullptr ? kRowsAfterName : kRowsFromName, key,
        [&](sqlite3_stmt* s) {
            sqlite3_bind_text(s, 2, after != nullptr ? after->data() : "",
                              after != nullptr ? static_cast<int>(after->size()) : 0,
                              SQLITE_STATIC);
        },
        limit, values, true);
}

LONG Database::SalvageBackwards(int64_t key, int64_t atOrBeforeSeq, ValueList* names) {
    return ReadValues(
        kNamesBackFromSeq, key, [&](sqlite3_stmt* s) { sqlite3_bind_int64(s, 2, atOrBeforeSeq); },
        1, names, true);
}

LONG Database::SalvageBackwards(int64_t key, const std::string& atOrBefore, ValueList* values) {
    return ReadValues(
        kRowsBackFromName, key,
        [&](sqlite3_stmt* s) {
            sqlite3_bind_text(s, 2, atOrBefore.data(), static_cast<int>(atOrBefore.size()),
                              SQLITE_STATIC);
        },
        1, values, true);
}

LONG Database::ReadValues(Query query, int64_t key, int64_t start, DWORD limit, ValueList* values) {
    return ReadValues(
        query, key, [&](sqlite3_stmt* s) { sqlite3_bind_int64(s, 2, start); }, limit, values,
        false);
}

template <typename Bind>
LONG Database::ReadValues(Query query, int64_t key, Bind bind, DWORD limit, ValueList* values,
                          bool keepOnFailure) {
    if (LONG status = Settle(false); status != ERROR_SUCCESS) {
        return status;
    }
    sqlite3_stmt* statement = nullptr;
    LONG status = Use(query, &statement);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    StatementScope scope(statement);
    sqlite3_bind_int64(statement, 1, key);
    bind(statement);
    sqlite3_bind_int64(statement, 3, limit);
    int rc = values->Read(statement, keepOnFailure);
    if (rc != SQLITE_DONE) {
        return Failure(rc);
    }
    return values->size() == 0 ? ERROR_NO_MORE_ITEMS : ERROR_SUCCESS;
}

LONG Database::ValueStats(int64_t key, DWORD* count, DWORD* maxNameLen, DWORD* maxDataLen) {
    return Retried([&]() -> LONG {
        bool lengths = maxNameLen != nullptr || maxDataLen != nullptr;
        sqlite3_stmt* statement = nullptr;
        if (LONG status = Use(lengths ? kValueStats : kCountValues, &statement);
            status != ERROR_SUCCESS) {
            return status;
        }
        StatementScope scope(statement);
        sqlite3_bind_int64(statement, 1, key);
        int rc = sqlite3_step(statement);
        if (rc != SQLITE_ROW) {
            return Failure(rc);
        }
        *count = static_cast<DWORD>(sqlite3_column_int64(statement, 0));
        if (maxNameLen != nullptr) {
            *maxNameLen = static_cast<DWORD>(sqlite3_column_int64(statement, 1));
        }
        if (maxDataLen != nullptr) {
            *maxDataLen = static_cast<DWORD>(sqlite3_column_int64(statement, 2));
        }
        return ERROR_SUCCESS;
    });
}

}  // namespace velmora::registry

unsigned VelmoraLockWaitsInVain(void) {
    return velmora::registry::waitsInVain;
}
