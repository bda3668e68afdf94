// One registry database file: keys by path, typed values in first-written order. A thin layer
// over SQLite, which gives every write a transaction and keeps two processes that write at once
// from losing each other's values. Status codes are the registry's own (ERROR_*); every failure
// that is the store's fault is recorded for the store (fault_log.h).
#pragma once

#include <sqlite3.h>
#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "../store_faults.h"
#include "data_version.h"
#include "value_list.h"
#include "windows_api.h"

namespace velmora::registry {

struct ValueRow {
    std::string name;
    DWORD type = REG_NONE;
    std::string data;
    int64_t seq = 0;
};

class Database {
  public:
    // A writer that finds the database locked waits this long before the call reports it busy.
    static constexpr int kBusyTimeoutMs = 2000;

    // Opens the database file at `file`, or creates it private to the user when `create`; a
    // missing file, or one that holds no schema yet, is ERROR_FILE_NOT_FOUND otherwise, and
    // only an open with `create` makes the schema. `store` (a VelmoraStoreId) is the store whose
    // faults the database records. Opening an existing database without `create` takes no write
    // lock and creates no file. A file the user keeps from writing, or one found damaged, is
    // read and never written: every write meets that fault.
    //
    // An existing database opened without `create` is opened for reading first, which most
    // starts of a program only do: SQLite then reads the shared WAL index another process keeps,
    // or the WAL itself, instead of rebuilding the index on disk as the first connection to a
    // database otherwise does at every start. The first write, walk or failed read opens it
    // again as a connection that writes and keeps the index; the caller sees one database.
    static LONG Open(const std::string& file, int store, bool create,
                     std::shared_ptr<Database>* out);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const std::string& file() const { return file_; }
    int store() const { return store_; }
    // False once the file was removed or replaced (a runtime directory emptied at logout), or
    // the connection to it was lost: the store is then opened afresh.
    bool StillUsable() const;

    // Takes the database's write lock and keeps it until the matching EndWrite, so that every
    // write in between belongs to one transaction. Begins nest; an inner end that does not
    // commit undoes only what was written since its begin. ERROR_BUSY when another process
    // keeps the lock for longer than a write waits; a write that follows within that time does
    // not wait again (RecentlyBusy).
    LONG BeginWrite();
    LONG EndWrite(bool commit);
    // Writes what the open write holds to the WAL without committing it, so that a full or failing
    // disk is met while the write can still be rolled back; what is left for the commit to write
    // is one page.
    LONG FlushWrites();

    LONG FindKey(const std::string& path, int64_t* id);
    // Creates the key and its missing ancestors in one transaction; `exists` says which
    // ancestors exist elsewhere (in the other database) and must not be created here.
    LONG CreateKey(const std::string& path, bool (*exists)(const std::string&), int64_t* id);
    LONG CountSubKeys(const std::string& path, DWORD* count);

    // A name longer than the registry holds is refused (ERROR_INVALID_PARAMETER), and is
    // not found when read or deleted, as in the registry.
    LONG SetValue(int64_t key, const char* name, DWORD type, const BYTE* data, DWORD size);
    LONG GetValue(int64_t key, const char* name, ValueRow* row);
    LONG DeleteValue(int64_t key, const char* name);
    // Up to `limit` values in first-written order, read at once: those after sequence number
    // `afterSeq`, which an index finds without counting. None left gives ERROR_NO_MORE_ITEMS.
    // With `namesOnly` the values come without their types and data.
    LONG ValuesAfter(int64_t key, int64_t afterSeq, DWORD limit, bool namesOnly, ValueList* values);
    // The same from the `offset`th value on.
    LONG ValuesFrom(int64_t key, DWORD offset, DWORD limit, bool namesOnly, ValueList* values);
    // ERROR_SUCCESS when some value name begins with `prefix`, ASCII case ignored as in every
    // name match; ERROR_FILE_NOT_FOUND when none does. The name index finds it in one step.
    LONG AnyNameBeginsWith(int64_t key, const char* prefix);
    // Up to `limit` value names that begin with `prefix` in the order of the name index, those
    // after `after` when it is given (a name read before): the run of names that an enumeration
    // by prefix delivers next. No name left gives ERROR_NO_MORE_ITEMS.
    LONG NamesBeginningWith(int64_t key, const char* prefix, const std::string* after, DWORD limit,
                            std::vector<std::string>* names);
    // For reading what is left of a damaged key (value_salvage.h), where a read stops at a
    // damaged page: the names of up to `limit` values in first-written order after `afterSeq`,
    // found through the order index; and up to `limit` whole values in the order of their names
    // (after `after` when it is given), found through the table. The values read before a
    // failure are kept, with the failure's status.
    LONG SalvageInOrder(int64_t key, int64_t afterSeq, DWORD limit, ValueList* names);
    LONG SalvageByName(int64_t key, const std::string* after, DWORD limit, ValueList* values);
    // The one value before those, read backwards: the name of the value numbered `atOrBeforeSeq`
    // or the last before it, or the whole value of the name `atOrBefore` or the last before it.
    // A b-tree keeps some entries in its inner pages alone, and one right after a damaged page is
    // reached by a read that comes from behind it and by no other.
    LONG SalvageBackwards(int64_t key, int64_t atOrBeforeSeq, ValueList* names);
    LONG SalvageBackwards(int64_t key, const std::string& atOrBefore, ValueList* values);
    // The number of values, and the longest name and data unless both of those are asked
    // for with null: finding them reads every value, counting does not.
    LONG ValueStats(int64_t key, DWORD* count, DWORD* maxNameLen, DWORD* maxDataLen);

    // The state now, as far as reads through this connection are concerned. Asked for by a walk,
    // which needs the shared index to tell whether what it read ahead still holds.
    DataVersion Version() {
        return Settle(false) == ERROR_SUCCESS ? watch_.Version(localChanges_) : DataVersion();
    }
    // True when `version` is known and nothing was written since it was taken.
    bool Unchanged(const DataVersion& version) const {
        return watch_.Unchanged(version, localChanges_);
    }

  private:
    // The statements, each prepared when first used: a start that looks up one value does
    // not pay for the others.
    enum Query {
        kFindKey,
        kInsertKey,
        kCountSubKeys,
        kSetValue,
        kGetValue,
        kDeleteValue,
        kValuesAfterSeq,
        kValuesAtOffset,
        kNamesAfterSeq,
        kNamesAtOffset,
        kValueStats,
        kCountValues,
        kNamesFrom,
        kNamesAfter,
        kRowsFromName,
        kRowsAfterName,
        kNamesBackFromSeq,
        kRowsBackFromName,
        kQueryCount
    };

    Database(std::string file, int store) : file_(std::move(file)), store_(store) {}
    // Opens the connection to the file, for reading only when `quick_`.
    int Connect(int flags);
    // Closes it, with its statements.
    void Disconnect();
    // SQLite's code.
    int Configure();
    // Opens the connection again as one that writes and keeps the shared WAL index, when it was
    // opened for reading; nothing of this connection is held open across the call. Where that
    // finds another file than the one judged, the connection is lost (Abandon). Where it fails
    // for the same file, the file is read on through a connection for reading (`unsettled_`):
    // a read is served, and a write (`toWrite`) meets the fault, trying again at each write.
    LONG Settle(bool toWrite);
    // Closes the connection for good: every later call fails with `status`, the fault `kind`
    // said again with `detail`, without reaching SQLite.
    LONG Abandon(LONG status, int kind, const std::string& detail);
    // The status of a call on a lost connection, with its fault recorded.
    LONG Lost();
    // Runs `read`, and when it failed on a connection opened for reading, settles and runs it
    // again: the fault that counts is the one a full connection meets.
    template <typename Read>
    LONG Retried(Read read);
    LONG EnsureSchema(bool create);
    LONG CreateSchema();
    // Frees the WAL's room after a write that was rolled back.
    void ReleaseWal();
    // From now on every write meets the fault `kind` (read-only, damaged).
    void StopWrites(int kind);
    // The status of a write refused so, with its fault recorded.
    LONG Refused();
    // Records a fault of `kind` of this database, with what the system said in `detail`; a file
    // that cannot be written is said with what keeps it from being written.
    void Record(int kind, const std::string& detail) const;
    // ERROR_SUCCESS unless the failure hook makes this store fail; else `query`, prepared.
    LONG Use(Query query, sqlite3_stmt** statement);
    LONG Exec(const char* sql);
    LONG Write(sqlite3_stmt* statement);
    // The status for SQLite's code `rc`, with the store fault it means recorded.
    LONG Failure(int rc);
    // What the system's `error` means for this database, in words.
    std::string WhyFailed(int error) const;
    // Runs one of the value-list queries, which take the key, where to start and the limit.
    LONG ReadValues(Query query, int64_t key, int64_t start, DWORD limit, ValueList* values);
    // The same with where to start bound by `bind`; with `keepOnFailure` the values read before a
    // failure stay in `values`.
    template <typename Bind>
    LONG ReadValues(Query query, int64_t key, Bind bind, DWORD limit, ValueList* values,
                    bool keepOnFailure);

    std::string file_;
    int store_;
    dev_t device_ = 0;
    ino_t inode_ = 0;
    sqlite3* db_ = nullptr;
    sqlite3_stmt* statements_[kQueryCount] = {};
    int refusal_ = kStoreFaultNone;
    // Why the connection was lost, once db_ is null.
    LONG lostStatus_ = ERROR_SUCCESS;
    int lostFault_ = kStoreFaultNone;
    std::string lostDetail_;
    // Opened for reading (Settle), and whether a read failed that way since it was asked.
    bool quick_ = false;
    bool quickFailed_ = false;
    // A connection that writes could not be opened: the file is read as `quick_`.
    bool unsettled_ = false;
    int writeDepth_ = 0;
    uint64_t localChanges_ = 0;
    WalWatch watch_;
    // When a write last waited out another process's lock in vain.
    std::chrono::steady_clock::time_point busySince_{};
};

// Counts a wait for a database's write lock that ended in vain; the moment it ended, for
// RecentlyBusy.
std::chrono::steady_clock::time_point WaitEndedInVain();

// True while less than a write's waiting time has passed since `since`, the moment a wait for
// the lock ended in vain (none yet when it is the epoch). Another wait then would most likely
// end the same way: a command that writes several values gives up after one wait, not one per
// value, and a store that could not be opened is not tried again at every call.
bool RecentlyBusy(std::chrono::steady_clock::time_point since);

// Maps SQLite result codes to registry status codes.
LONG StatusFromSqlite(int rc);

}  // namespace velmora::registry
