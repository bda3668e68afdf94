// The read-ahead buffer of an enumerating key; see value_list.h.
#include "value_list.h"

#include <algorithm>
#include <cstring>

namespace velmora::registry {

namespace {

// Read values are kept in blocks of this size, or of the value's own size when larger.
constexpr size_t kValueBlockSize = 64 * 1024;

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

int ValueList::Read(sqlite3_stmt* statement, bool keepOnFailure) {
    Clear();
    hasData_ = sqlite3_column_count(statement) > 2;
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        Entry entry{};
        entry.seq = sqlite3_column_int64(statement, 0);
        const unsigned char* name = sqlite3_column_text(statement, 1);
        entry.nameSize =
            name != nullptr ? static_cast<uint32_t>(sqlite3_column_bytes(statement, 1)) : 0;
        const void* data = nullptr;
        if (hasData_) {
            entry.type = static_cast<DWORD>(sqlite3_column_int64(statement, 2));
            data = sqlite3_column_blob(statement, 3);
            entry.dataSize =
                data != nullptr ? static_cast<uint32_t>(sqlite3_column_bytes(statement, 3)) : 0;
        }
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
    if (rc != SQLITE_DONE && !keepOnFailure) {
        Clear();
    }
    return rc;
}

}  // namespace velmora::registry
