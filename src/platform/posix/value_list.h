// Values read from a database together, for the read-ahead of an enumerating key: names and
// data lie back to back in blocks that never move, so that reading and ordering many values
// moves no strings and copies no block.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "windows_api.h"

namespace velmora::registry {

class ValueList {
  public:
    size_t size() const { return entries_.size(); }
    int64_t Seq(size_t i) const { return entries_[i].seq; }
    DWORD Type(size_t i) const { return entries_[i].type; }
    std::string_view Name(size_t i) const { return {entries_[i].bytes, entries_[i].nameSize}; }
    std::string_view Data(size_t i) const {
        return {entries_[i].bytes + entries_[i].nameSize, entries_[i].dataSize};
    }
    // Whether the values came with their types and data, or as names alone.
    bool HasData() const { return hasData_; }
    // Keeps the blocks, for the next read.
    void Clear();
    // Reads every row of `statement` (seq, name, and type and data unless it has only two
    // columns) in place of the values held; SQLITE_DONE when all were read, else SQLite's code
    // for what failed, and then no values unless `keepOnFailure`.
    int Read(sqlite3_stmt* statement, bool keepOnFailure = false);

  private:
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
    // `size` bytes in the blocks, all in one.
    char* Room(size_t size);

    std::vector<Entry> entries_;
    std::vector<Block> blocks_;
    size_t block_ = 0;
    size_t used_ = 0;
    bool hasData_ = false;
};

}  // namespace velmora::registry
