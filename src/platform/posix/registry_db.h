// One registry database file: keys by path, typed values in first-written order. A thin layer
// over SQLite, which gives every write a transaction and keeps two processes that write at once
// from losing each other's values. Status codes are the registry's own (ERROR_*).
#pragma once

#include <sqlite3.h>
#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "windows_api.h"

namespace velmora::registry {

struct ValueRow {
    std::string name;
    DWORD type = REG_NONE;
    std::string data;
    int64_t seq = 0;
};

// Values read together, in the order they were read or sorted into. Names and data lie back to
// back in large blocks that never move, so that reading and ordering many values moves no
// strings and copies no block.
class ValueList {
  public:
    size_t size() const { return entries_.size(); }
    int64_t Seq(size_t i) const { return entries_[i].seq; }
    DWORD Type(size_t i) const { return entries_[i].type; }
    std::string_view Name(size_t i) const { return {entries_[i].bytes, entries_[i].nameSize}; }
    std::string_view Data(size_t i) const {
        return {entries_[i].bytes + entries_[i].nameSize, entries_[i].dataSize};
    }
    // Keeps the blocks, for the next read.
    void Clear();

  private:
    friend class Database;
    struct Entry {
        int64_t seq;
        DWORD type;
        uint32_t nameSize;
        uint32_t dataSize;
        const char* bytes;
    };
    struct Block {
        std::unique_ptr<char[]> bytes;
        size_t size;
    };
    // Reads every row of `statement` (seq, name, type, data) in place of the values held;
    // SQLITE_DONE when all were read, else SQLite's code for what failed.
    int Read(sqlite3_stmt* statement);
    void SortBySeq();
    // `size` bytes in the blocks, all in one.
    char* Room(size_t size);

    std::vector<Entry> entries_;
    std::vector<Block> blocks_;
    size_t block_ = 0;
    size_t used_ = 0;
};

// The committed state of a database as the header of its WAL index shows it. Every commit, by
// any connection in any process, rewrites that header, and SQLite itself keeps its page cache
// for as long as the header stays the same; so do the read-ahead values of an open key.
struct DataVersion {
    bool known = false;
    uint32_t header[12] = {};
};

class Database {
  public:
    // Opens or creates the database file at `file`, private to the user. `store` (a
    // VelmoraStoreId) is the store whose faults the database records.
    static LONG Open(const std::string& file, int store, std::shared_ptr<Database>* out);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const std::string& file() const { return file_; }
    // False once the file was removed or replaced (a runtime directory emptied at logout).
    bool StillOnDisk() const;

    LONG FindKey(const std::string& path, int64_t* id);
    // Creates the key and its missing ancestors in one transaction; `exists` says which
    // ancestors exist elsewhere (in the other database) and must not be created here.
    LONG CreateKey(const std::string& path, bool (*exists)(const std::string&), int64_t* id);
    LONG CountSubKeys(const std::string& path, DWORD* count);

    LONG SetValue(int64_t key, const char* name, DWORD type, const BYTE* data, DWORD size);
    LONG GetValue(int64_t key, const char* name, ValueRow* row);
    LONG DeleteValue(int64_t key, const char* name);
    // Up to `limit` values in first-written order, read at once: those after sequence number
    // `afterSeq`, or from the `offset`th value on when `afterSeq` < 0. None left gives
    // ERROR_NO_MORE_ITEMS.
    LONG ValuesAt(int64_t key, int64_t afterSeq, DWORD offset, DWORD limit, ValueList* values);
    // Every value after sequence number `afterSeq`, in first-written order, in one pass over
    // the key instead of one index lookup per value: for walks over many values.
    LONG ValuesAfter(int64_t key, int64_t afterSeq, ValueList* values);
    // The number of values, and the longest name and data unless both of those are asked
    // for with null: finding them reads every value, counting does not.
    LONG ValueStats(int64_t key, DWORD* count, DWORD* maxNameLen, DWORD* maxDataLen);

    // The state now, read without a transaction; unknown where the connection has no shared
    // WAL index or a writer is halfway through rewriting its header.
    DataVersion Version() const;
    // True when `version` is known and nothing was committed since it was taken.
    bool Unchanged(const DataVersion& version) const;

  private:
    Database(std::string file, int store) : file_(std::move(file)), store_(store) {}
    LONG Initialize();
    LONG Prepare();
    void MapWalIndex();
    LONG Exec(const char* sql);
    void Rollback();
    LONG Write(sqlite3_stmt* statement);
    LONG ReadValues(sqlite3_stmt* statement, ValueList* values);
    // The status for SQLite's code `rc`, with the store fault it means recorded.
    LONG Failure(int rc);
    // ERROR_SUCCESS unless the failure hook makes this database's store fail.
    LONG Hooked() const;

    std::string file_;
    int store_;
    dev_t device_ = 0;
    ino_t inode_ = 0;
    sqlite3* db_ = nullptr;
    sqlite3_stmt* findKey_ = nullptr;
    sqlite3_stmt* insertKey_ = nullptr;
    sqlite3_stmt* countSubKeys_ = nullptr;
    sqlite3_stmt* setValue_ = nullptr;
    sqlite3_stmt* getValue_ = nullptr;
    sqlite3_stmt* deleteValue_ = nullptr;
    sqlite3_stmt* nextValue_ = nullptr;
    sqlite3_stmt* valueAtOffset_ = nullptr;
    sqlite3_stmt* valuesAfter_ = nullptr;
    sqlite3_stmt* valueStats_ = nullptr;
    sqlite3_stmt* countValues_ = nullptr;
    // The start of the shared WAL index, mapped by SQLite for as long as the connection is open.
    const volatile uint32_t* walIndex_ = nullptr;
};

// Maps SQLite result codes to registry status codes.
LONG StatusFromSqlite(int rc);

}  // namespace velmora::registry
