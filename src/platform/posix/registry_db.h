// One registry database file: keys by path, typed values in first-written order. A thin layer
// over SQLite, which gives every write a transaction and keeps two processes that write at once
// from losing each other's values. Status codes are the registry's own (ERROR_*); every failure
// that is the store's fault is recorded for the store (fault_log.h).
#pragma once

#include <sqlite3.h>
#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "../store_faults.h"
#include "windows_api.h"

namespace velmora::registry {

struct ValueRow {
    std::string name;
    DWORD type = REG_NONE;
    std::string data;
    int64_t seq = 0;
};

// `text` as the NOCASE collation compares it, which the registry's names follow: only ASCII
// letters fold, whatever the locale.
std::string AsciiFolded(std::string_view text);

// How long a writer that finds the database locked waits before the call reports it busy:
// two seconds, or the milliseconds VELMORA_STORE_BUSY_MS names (tests shorten it).
int BusyTimeoutMs();
// Whether a wait for the write lock of `store` ended in vain less than a write's waiting time
// ago. Another wait then would most likely end the same way: a command that writes several
// values gives up after one wait, not one per value, and a store that could not be opened is
// not tried again at every call.
bool RecentlyBusy(int store);
// Notes that a wait for the write lock of `store` ended in vain.
void WaitedInVain(int store);

class Database {
  public:
    // The statements, each prepared when first used. The value lists come first (Values): rows
    // of seq and name, with type and data unless the query says names, each list beginning at
    // a sequence number, an offset or a name.
    enum Query {
        kValuesAfterSeq,
        kValuesAtOffset,
        kNamesAfterSeq,
        kNamesAtOffset,
        kNamesFromName,
        kNamesAfterName,
        kValuesFromName,
        kValuesAfterName,
        kNamesBackFromSeq,
        kValuesBackFromName,
        kFindKey,
        kInsertKey,
        kSetValue,
        kGetValue,
        kDeleteValue,
        kValueStats,
        kCountValues,
        kReadStamp,
        kObjects,
        kQueryCount
    };
    // Where a value list begins: `name` when the query begins at a name, else `number`.
    struct From {
        int64_t number = 0;
        const std::string* name = nullptr;
    };

    // Opens the database file at `file`, or creates it private to the user when `create`; a
    // missing file, or one that holds no schema yet, is ERROR_FILE_NOT_FOUND otherwise, and
    // only an open with `create` makes the schema. `store` (a VelmoraStoreId) is the store whose
    // faults the database records. Opening an existing database without `create` takes no write
    // lock and creates no file. A file the user keeps from writing, one found damaged, or one
    // stamped by a later version or another program is read and never written.
    static LONG Open(const std::string& file, int store, bool create,
                     std::shared_ptr<Database>* out);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    int store() const { return store_; }
    // False once the file was removed or replaced (a runtime directory emptied at logout), or
    // the connection to it was lost: the store is then opened afresh.
    bool StillUsable() const;
    // Counts the writes and rollbacks of this connection, which change what it reads.
    uint64_t Changes() const { return changes_; }

    // Takes the database's write lock and keeps it until the matching EndWrite, so that every
    // write in between belongs to one transaction. Begins nest; an inner end that does not
    // commit undoes only what was written since its begin. ERROR_BUSY when another process
    // keeps the lock for longer than a write waits.
    LONG BeginWrite();
    LONG EndWrite(bool commit);
    // Writes what the open write holds to the WAL without committing it, so that a full or
    // failing disk is met while the write can still be rolled back.
    LONG FlushWrites();

    LONG FindKey(const std::string& path, int64_t* id);
    // Creates the key unless it is there already.
    LONG CreateKey(const std::string& path, int64_t* id);
    // A name longer than the registry holds is refused (ERROR_INVALID_PARAMETER).
    LONG SetValue(int64_t key, const std::string& name, DWORD type, const BYTE* data, DWORD size);
    LONG GetValue(int64_t key, const std::string& name, ValueRow* row);
    LONG DeleteValue(int64_t key, const std::string& name);
    // Up to `limit` values of `key` in the order of `query`, read at once, into `rows`; the rows
    // read before a failure are kept with the failure's status. None gives ERROR_NO_MORE_ITEMS.
    LONG Values(Query query, int64_t key, From from, DWORD limit, std::vector<ValueRow>* rows);
    // The number of values, and the longest name and data unless both of those are asked
    // for with null: finding them reads every value, counting does not.
    LONG ValueStats(int64_t key, DWORD* count, DWORD* maxNameLen, DWORD* maxDataLen);

  private:
    Database(std::string file, int store) : file_(std::move(file)), store_(store) {}
    // Runs `query` with `args` bound in order, giving each row to `row` until it returns false.
    template <typename... Args>
    LONG Run(Query query, const std::function<bool(sqlite3_stmt*)>& row, const Args&... args);
    // The same inside a write of its own.
    template <typename... Args>
    LONG Write(Query query, const Args&... args);
    void MapForWalks();
    LONG CheckStamp(bool create);
    LONG CreateSchema();
    // Frees the WAL's room after a write that was rolled back.
    void ReleaseWal();
    // From now on every write meets the fault `kind`, said as `text` where one is given.
    void StopWrites(int kind, const std::string& text = "");
    // The status of a write refused so, with its fault recorded.
    LONG Refused();
    // Closes the connection for good: this and every later call fails as a fault `kind` with
    // `detail`, the one given first.
    LONG Abandon(int kind, const std::string& detail);
    // Records a fault of `kind` of this database, with what the system said in `detail`.
    void Record(int kind, const std::string& detail) const;
    // The status for SQLite's result `rc`, with the store fault it means recorded.
    LONG Failure(int rc);

    std::string file_;
    int store_;
    dev_t device_ = 0;
    ino_t inode_ = 0;
    sqlite3* db_ = nullptr;
    sqlite3_stmt* statements_[kQueryCount] = {};
    int refusal_ = kStoreFaultNone;
    std::string refusalText_;
    // Why the connection was lost, once db_ is null.
    int lostFault_ = kStoreFaultNone;
    std::string lostDetail_;
    // A store of ours that an earlier build made without the stamp: its first commit stamps it.
    bool unstamped_ = false;
    bool mapped_ = false;
    int writeDepth_ = 0;
    uint64_t changes_ = 0;
};

}  // namespace velmora::registry
