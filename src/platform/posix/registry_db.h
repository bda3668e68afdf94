// One registry database file: keys by path, typed values in first-written order. A thin layer
// over SQLite, which gives every write a transaction and keeps two processes that write at once
// from losing each other's values. Status codes are the registry's own (ERROR_*).
#pragma once

#include <sqlite3.h>
#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <string>

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
    // Opens or creates the database file at `file`, private to the user.
    static LONG Open(const std::string& file, std::shared_ptr<Database>* out);
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
    // The value after sequence number `afterSeq`, or the `offset`th value when `afterSeq` < 0.
    LONG ValueAt(int64_t key, int64_t afterSeq, DWORD offset, ValueRow* row);
    LONG ValueStats(int64_t key, DWORD* count, DWORD* maxNameLen, DWORD* maxDataLen);

  private:
    explicit Database(std::string file) : file_(std::move(file)) {}
    LONG Initialize();
    LONG Prepare();
    LONG Exec(const char* sql);
    LONG Write(sqlite3_stmt* statement);

    std::string file_;
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
    sqlite3_stmt* valueStats_ = nullptr;
};

// Maps SQLite result codes to registry status codes.
LONG StatusFromSqlite(int rc);

}  // namespace velmora::registry
