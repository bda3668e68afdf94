// SQLite behind one registry database. Key paths and value names compare without regard to
// ASCII letter case (COLLATE NOCASE), as the registry compares them. Each value carries the
// sequence number of its first write, so enumeration follows first-written order and can go on
// from the last value delivered through an index instead of counting from the start.
#include "registry_db.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>

#include "fault_log.h"

namespace velmora::registry {

namespace {

// A writer that finds the database locked waits this long before the call reports it busy.
constexpr int kBusyTimeoutMs = 2000;

// The shared WAL index as SQLite's file format lays it out: regions of 32 KiB, the first
// starting with two copies of a 48-byte header. A writer rewrites the second copy first, a
// reader reads the first copy first, so copies that differ mean a commit under way. The
// header's own version number guards against a layout this code does not know.
constexpr int kWalIndexRegionSize = 32768;
constexpr size_t kWalHeaderWords = 12;
constexpr uint32_t kWalIndexFormat = 3007000;
constexpr size_t kWalHeaderInitByte = 12;

// Read values are kept in blocks of this size, or of the value's own size when larger.
constexpr size_t kValueBlockSize = 64 * 1024;

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

void ReadRow(sqlite3_stmt* statement, ValueRow* row) {
    row->seq = sqlite3_column_int64(statement, 0);
    row->name.assign(reinterpret_cast<const char*>(sqlite3_column_text(statement, 1)),
                     sqlite3_column_bytes(statement, 1));
    row->type = static_cast<DWORD>(sqlite3_column_int64(statement, 2));
    const void* data = sqlite3_column_blob(statement, 3);
    row->data.assign(static_cast<const char*>(data), data ? sqlite3_column_bytes(statement, 3) : 0);
}

}  // namespace

void ValueList::Clear() {
    entries_.clear();
    block_ = 0;
    used_ = 0;
}

char* ValueList::Room(size_t size) {
    while (block_ < blocks_.size() && used_ + size > blocks_[block_].size) {
        ++block_;
        used_ = 0;
    }
    if (block_ == blocks_.size()) {
        size_t blockSize = std::max(size, kValueBlockSize);
        blocks_.push_back(Block{std::make_unique<char[]>(blockSize), blockSize});
    }
    char* room = blocks_[block_].bytes.get() + used_;
    used_ += size;
    return room;
}

int ValueList::Read(sqlite3_stmt* statement) {
    Clear();
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        Entry entry{};
        entry.seq = sqlite3_column_int64(statement, 0);
        entry.type = static_cast<DWORD>(sqlite3_column_int64(statement, 2));
        const unsigned char* name = sqlite3_column_text(statement, 1);
        entry.nameSize =
            name != nullptr ? static_cast<uint32_t>(sqlite3_column_bytes(statement, 1)) : 0;
        const void* data = sqlite3_column_blob(statement, 3);
        entry.dataSize =
            data != nullptr ? static_cast<uint32_t>(sqlite3_column_bytes(statement, 3)) : 0;
        char* bytes = Room(size_t{entry.nameSize} + entry.dataSize);
        if (entry.nameSize != 0) {
            std::memcpy(bytes, name, entry.nameSize);
        }
        if (entry.dataSize != 0) {
            std::memcpy(bytes + entry.nameSize, data, entry.dataSize);
        }
        entry.bytes = bytes;
        entries_.push_back(entry);
    }
    if (rc != SQLITE_DONE) {
        Clear();
    }
    return rc;
}

void ValueList::SortBySeq() {
    auto bySeq = [](const Entry& a, const Entry& b) { return a.seq < b.seq; };
    if (!std::is_sorted(entries_.begin(), entries_.end(), bySeq)) {
        std::sort(entries_.begin(), entries_.end(), bySeq);
    }
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

LONG Database::Open(const std::string& file, int store, std::shared_ptr<Database>* out) {
    if (LONG status = HookedFailure(store, file); status != ERROR_SUCCESS) {
        return status;
    }
    // Create the file ourselves so that it is private from the first byte; SQLite gives its
    // journal files the permissions of the database file.
    int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        RecordFault(store, kStoreFaultCannotOpen, file, std::strerror(errno));
        return ERROR_CANTOPEN;
    }
    ::fchmod(fd, 0600);
    struct stat info {};
    ::fstat(fd, &info);
    ::close(fd);

    std::shared_ptr<Database> database(new Database(file, store));
    database->device_ = info.st_dev;
    database->inode_ = info.st_ino;
    int rc = sqlite3_open_v2(file.c_str(), &database->db_,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW, nullptr);
    if (rc != SQLITE_OK) {
        return database->Failure(rc);
    }
    sqlite3_busy_timeout(database->db_, kBusyTimeoutMs);
    LONG status = database->Initialize();
    if (status == ERROR_SUCCESS) {
        status = database->Prepare();
    }
    if (status != ERROR_SUCCESS) {
        return status;
    }
    database->MapWalIndex();
    *out = std::move(database);
    return ERROR_SUCCESS;
}

bool Database::StillOnDisk() const {
    struct stat info {};
    return ::stat(file_.c_str(), &info) == 0 && info.st_dev == device_ && info.st_ino == inode_;
}

Database::~Database() {
    for (sqlite3_stmt* statement :
         {findKey_, insertKey_, countSubKeys_, setValue_, getValue_, deleteValue_, nextValue_,
          valueAtOffset_, valuesAfter_, valueStats_, countValues_}) {
        sqlite3_finalize(statement);
    }
    sqlite3_close(db_);
}

LONG Database::Initialize() {
    // A walk over a key of 100,000 values touches some 10 MB of pages; with SQLite's usual
    // 2 MB cache every walk would read them all from the file again.
    Exec("PRAGMA cache_size=-16384");
    // Two processes that open a new file at once race for the journal mode and the schema;
    // SQLite reports that race at once instead of waiting, so the loser tries again. Only the
    // last attempt's failure is a fault.
    auto run = [this](const char* sql) {
        return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
    };
    int rc = SQLITE_BUSY;
    for (int attempt = 0; attempt < kBusyTimeoutMs / 10 && StatusFromSqlite(rc) == ERROR_BUSY;
         ++attempt) {
        if (attempt > 0) {
            ::usleep(10000);
        }
        rc = run("PRAGMA journal_mode=WAL");
        if (rc == SQLITE_OK) {
            rc = run("PRAGMA synchronous=NORMAL");
        }
        if (rc == SQLITE_OK) {
            rc = run("BEGIN IMMEDIATE");
        }
        if (rc == SQLITE_OK) {
            rc = run(kSchema);
            rc = rc == SQLITE_OK ? run("COMMIT") : rc;
            if (rc != SQLITE_OK) {
                Rollback();
            }
        }
    }
    return rc == SQLITE_OK ? ERROR_SUCCESS : Failure(rc);
}

LONG Database::Exec(const char* sql) {
    return Failure(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr));
}

void Database::Rollback() {
    // Fails only where nothing is left to roll back; the fault that led here is the one to keep.
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

LONG Database::Failure(int rc) {
    int kind = FaultOfSqlite(rc);
    int error =
        kind == kStoreFaultCannotOpen || kind == kStoreFaultIoError ? sqlite3_system_errno(db_) : 0;
    RecordFault(store_, kind, file_, error != 0 ? std::strerror(error) : "");
    return StatusFromSqlite(rc);
}

LONG Database::Hooked() const {
    return HookedFailure(store_, file_);
}

LONG Database::ReadValues(sqlite3_stmt* statement, ValueList* values) {
    int rc = values->Read(statement);
    if (rc != SQLITE_DONE) {
        return Failure(rc);
    }
    return values->size() == 0 ? ERROR_NO_MORE_ITEMS : ERROR_SUCCESS;
}

LONG Database::Prepare() {
    struct {
        sqlite3_stmt** statement;
        const char* sql;
    } const statements[] = {
        {&findKey_, "SELECT id FROM keys WHERE path = ?1"},
        {&insertKey_, "INSERT OR IGNORE INTO keys(path) VALUES(?1)"},
        {&countSubKeys_,
         "SELECT COUNT(*) FROM keys WHERE substr(path, 1, length(?1) + 1) = ?1 || '\\' "
         "AND instr(substr(path, length(?1) + 2), '\\') = 0"},
        {&setValue_,
         "INSERT INTO vals(key, name, seq, type, data) VALUES(?1, ?2, "
         "(SELECT COALESCE(MAX(seq), 0) + 1 FROM vals WHERE key = ?1), ?3, ?4) "
         "ON CONFLICT(key, name) DO UPDATE SET type = excluded.type, data = excluded.data"},
        {&getValue_, "SELECT seq, name, type, data FROM vals WHERE key = ?1 AND name = ?2"},
        {&deleteValue_, "DELETE FROM vals WHERE key = ?1 AND name = ?2"},
        {&nextValue_,
         "SELECT seq, name, type, data FROM vals WHERE key = ?1 AND seq > ?2 "
         "ORDER BY seq LIMIT ?3"},
        {&valueAtOffset_,
         "SELECT seq, name, type, data FROM vals WHERE key = ?1 ORDER BY seq LIMIT ?3 OFFSET ?2"},
        // The unary plus keeps the planner off the order index: the key's values are read in
        // the table's own order, which needs no lookup per row, and sorted afterwards.
        {&valuesAfter_, "SELECT seq, name, type, data FROM vals WHERE key = ?1 AND +seq > ?2"},
        {&valueStats_,
         "SELECT COUNT(*), COALESCE(MAX(length(CAST(name AS BLOB))), 0), "
         "COALESCE(MAX(length(data)), 0) FROM vals WHERE key = ?1"},
        {&countValues_, "SELECT COUNT(*) FROM vals WHERE key = ?1"},
    };
    for (const auto& entry : statements) {
        int rc = sqlite3_prepare_v3(db_, entry.sql, -1, SQLITE_PREPARE_PERSISTENT, entry.statement,
                                    nullptr);
        if (rc != SQLITE_OK) {
            return Failure(rc);
        }
    }
    return ERROR_SUCCESS;
}

LONG Database::Write(sqlite3_stmt* statement) {
    StatementScope scope(statement);
    LONG status = Exec("BEGIN IMMEDIATE");
    if (status != ERROR_SUCCESS) {
        return status;
    }
    int rc = sqlite3_step(statement);
    if (rc != SQLITE_DONE) {
        Rollback();
        return Failure(rc);
    }
    status = Exec("COMMIT");
    if (status != ERROR_SUCCESS) {
        Rollback();
    }
    return status;
}

LONG Database::FindKey(const std::string& path, int64_t* id) {
    if (LONG status = Hooked(); status != ERROR_SUCCESS) {
        return status;
    }
    StatementScope scope(findKey_);
    sqlite3_bind_text(findKey_, 1, path.data(), static_cast<int>(path.size()), SQLITE_STATIC);
    int rc = sqlite3_step(findKey_);
    if (rc == SQLITE_ROW) {
        *id = sqlite3_column_int64(findKey_, 0);
        return ERROR_SUCCESS;
    }
    return rc == SQLITE_DONE ? ERROR_FILE_NOT_FOUND : Failure(rc);
}

LONG Database::CreateKey(const std::string& path, bool (*exists)(const std::string&), int64_t* id) {
    LONG status = Hooked();
    if (status != ERROR_SUCCESS) {
        return status;
    }
    status = Exec("BEGIN IMMEDIATE");
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
        StatementScope scope(insertKey_);
        sqlite3_bind_text(insertKey_, 1, prefix.data(), static_cast<int>(prefix.size()),
                          SQLITE_TRANSIENT);
        int rc = sqlite3_step(insertKey_);
        status = rc == SQLITE_DONE ? ERROR_SUCCESS : Failure(rc);
    }
    if (status == ERROR_SUCCESS) {
        status = FindKey(path, id);
    }
    if (status == ERROR_SUCCESS) {
        status = Exec("COMMIT");
    }
    if (status != ERROR_SUCCESS) {
        Rollback();
    }
    return status;
}

LONG Database::CountSubKeys(const std::string& path, DWORD* count) {
    if (LONG status = Hooked(); status != ERROR_SUCCESS) {
        return status;
    }
    StatementScope scope(countSubKeys_);
    sqlite3_bind_text(countSubKeys_, 1, path.data(), static_cast<int>(path.size()), SQLITE_STATIC);
    int rc = sqlite3_step(countSubKeys_);
    if (rc != SQLITE_ROW) {
        return Failure(rc);
    }
    *count += static_cast<DWORD>(sqlite3_column_int64(countSubKeys_, 0));
    return ERROR_SUCCESS;
}

LONG Database::SetValue(int64_t key, const char* name, DWORD type, const BYTE* data, DWORD size) {
    if (LONG status = Hooked(); status != ERROR_SUCCESS) {
        return status;
    }
    sqlite3_bind_int64(setValue_, 1, key);
    sqlite3_bind_text(setValue_, 2, name, -1, SQLITE_STATIC);
    sqlite3_bind_int64(setValue_, 3, type);
    sqlite3_bind_blob(setValue_, 4, data != nullptr ? data : reinterpret_cast<const BYTE*>(""),
                      static_cast<int>(size), SQLITE_STATIC);
    return Write(setValue_);
}

LONG Database::GetValue(int64_t key, const char* name, ValueRow* row) {
    if (LONG status = Hooked(); status != ERROR_SUCCESS) {
        return status;
    }
    StatementScope scope(getValue_);
    sqlite3_bind_int64(getValue_, 1, key);
    sqlite3_bind_text(getValue_, 2, name, -1, SQLITE_STATIC);
    int rc = sqlite3_step(getValue_);
    if (rc == SQLITE_ROW) {
        ReadRow(getValue_, row);
        return ERROR_SUCCESS;
    }
    return rc == SQLITE_DONE ? ERROR_FILE_NOT_FOUND : Failure(rc);
}

LONG Database::DeleteValue(int64_t key, const char* name) {
    if (LONG status = Hooked(); status != ERROR_SUCCESS) {
        return status;
    }
    sqlite3_bind_int64(deleteValue_, 1, key);
    sqlite3_bind_text(deleteValue_, 2, name, -1, SQLITE_STATIC);
    LONG status = Write(deleteValue_);
    if (status == ERROR_SUCCESS && sqlite3_changes(db_) == 0) {
        return ERROR_FILE_NOT_FOUND;
    }
    return status;
}

LONG Database::ValuesAt(int64_t key, int64_t afterSeq, DWORD offset, DWORD limit,
                        ValueList* values) {
    if (LONG status = Hooked(); status != ERROR_SUCCESS) {
        return status;
    }
    sqlite3_stmt* statement = afterSeq >= 0 ? nextValue_ : valueAtOffset_;
    StatementScope scope(statement);
    sqlite3_bind_int64(statement, 1, key);
    sqlite3_bind_int64(statement, 2, afterSeq >= 0 ? afterSeq : offset);
    sqlite3_bind_int64(statement, 3, limit);
    return ReadValues(statement, values);
}

LONG Database::ValuesAfter(int64_t key, int64_t afterSeq, ValueList* values) {
    if (LONG status = Hooked(); status != ERROR_SUCCESS) {
        return status;
    }
    StatementScope scope(valuesAfter_);
    sqlite3_bind_int64(valuesAfter_, 1, key);
    sqlite3_bind_int64(valuesAfter_, 2, afterSeq);
    LONG status = ReadValues(valuesAfter_, values);
    values->SortBySeq();
    return status;
}

LONG Database::ValueStats(int64_t key, DWORD* count, DWORD* maxNameLen, DWORD* maxDataLen) {
    if (LONG status = Hooked(); status != ERROR_SUCCESS) {
        return status;
    }
    bool lengths = maxNameLen != nullptr || maxDataLen != nullptr;
    sqlite3_stmt* statement = lengths ? valueStats_ : countValues_;
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
}

void Database::MapWalIndex() {
    // Only a connection in WAL mode shares an index; this one stays in WAL mode for its life,
    // since leaving it needs a lock that its own open connection keeps others from taking.
    sqlite3_stmt* mode = nullptr;
    bool wal = false;
    if (sqlite3_prepare_v2(db_, "PRAGMA journal_mode", -1, &mode, nullptr) == SQLITE_OK &&
        sqlite3_step(mode) == SQLITE_ROW) {
        const unsigned char* text = sqlite3_column_text(mode, 0);
        wal = text != nullptr && std::strcmp(reinterpret_cast<const char*>(text), "wal") == 0;
    }
    sqlite3_finalize(mode);
    sqlite3_file* file = nullptr;
    if (!wal || sqlite3_file_control(db_, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK ||
        file == nullptr || file->pMethods == nullptr || file->pMethods->iVersion < 2 ||
        file->pMethods->xShmMap == nullptr) {
        return;
    }
    // The region is mapped already, by the reads and writes Open made; asking for it without
    // extending it neither creates nor changes anything.
    void volatile* region = nullptr;
    if (file->pMethods->xShmMap(file, 0, kWalIndexRegionSize, 0, &region) == SQLITE_OK) {
        walIndex_ = static_cast<const volatile uint32_t*>(region);
    }
}

DataVersion Database::Version() const {
    DataVersion version;
    if (walIndex_ == nullptr) {
        return version;
    }
    uint32_t second[kWalHeaderWords];
    for (size_t i = 0; i < kWalHeaderWords; ++i) {
        version.header[i] = walIndex_[i];
    }
    std::atomic_thread_fence(std::memory_order_seq_cst);
    for (size_t i = 0; i < kWalHeaderWords; ++i) {
        second[i] = walIndex_[kWalHeaderWords + i];
    }
    unsigned char isInit =
        reinterpret_cast<const unsigned char*>(version.header)[kWalHeaderInitByte];
    version.known = version.header[0] == kWalIndexFormat && isInit != 0 &&
                    std::memcmp(version.header, second, sizeof second) == 0;
    return version;
}

bool Database::Unchanged(const DataVersion& version) const {
    if (!version.known) {
        return false;
    }
    DataVersion now = Version();
    return now.known && std::memcmp(now.header, version.header, sizeof now.header) == 0;
}

}  // namespace velmora::registry
