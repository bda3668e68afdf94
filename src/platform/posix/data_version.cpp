// Reading the committed state from the shared WAL index; see data_version.h.
#include "data_version.h"

#include <atomic>
#include <cstddef>
#include <cstring>

namespace velmora::registry {

namespace {

// The shared WAL index as SQLite's document "WAL-mode File Format" (walformat.html) lays it
// out for the unix VFS: regions of 32 KiB, the first starting with two copies of a 48-byte
// header. That layout is part of SQLite's documented file format, so reading it here relies on
// nothing SQLite keeps to itself. A writer rewrites the second copy first, a reader reads the
// first copy first, so copies that differ mean a commit under way. The header's own version number
// guards against a layout this code does not know; where there is no index or the header is
// unknown, nothing read ahead is trusted.
constexpr int kWalIndexRegionSize = 32768;
constexpr size_t kWalHeaderWords = 12;
constexpr uint32_t kWalIndexFormat = 3007000;
constexpr size_t kWalHeaderInitByte = 12;
// The header's words that tell one committed state from another: mxFrame, the two salts and
// the two words of the header's own checksum.
constexpr size_t kCommitWords[] = {4, 8, 9, 10, 11};

}  // namespace

void WalWatch::Attach(sqlite3* db) {
    // Only a connection in WAL mode shares an index; this one stays in WAL mode for its life,
    // since leaving it needs a lock that its own open connection keeps others from taking.
    sqlite3_stmt* mode = nullptr;
    bool wal = false;
    if (sqlite3_prepare_v2(db, "PRAGMA journal_mode", -1, &mode, nullptr) == SQLITE_OK &&
        sqlite3_step(mode) == SQLITE_ROW) {
        const unsigned char* text = sqlite3_column_text(mode, 0);
        wal = text != nullptr && std::strcmp(reinterpret_cast<const char*>(text), "wal") == 0;
    }
    sqlite3_finalize(mode);
    sqlite3_file* file = nullptr;
    if (!wal || sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK ||
        file == nullptr || file->pMethods == nullptr || file->pMethods->iVersion < 2 ||
        file->pMethods->xShmMap == nullptr) {
        return;
    }
    // The region is mapped already; asking for it without extending it neither creates nor
    // changes anything.
    void volatile* region = nullptr;
    if (file->pMethods->xShmMap(file, 0, kWalIndexRegionSize, 0, &region) == SQLITE_OK) {
        walIndex_ = static_cast<const volatile uint32_t*>(region);
    }
}

DataVersion WalWatch::Version(uint64_t localChanges) const {
    DataVersion version;
    version.localChanges = localChanges;
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

bool WalWatch::Unchanged(const DataVersion& version, uint64_t localChanges) const {
    if (!version.known || version.localChanges != localChanges || walIndex_ == nullptr) {
        return false;
    }
    // Asked once per value delivered, so it looks at only what every commit changes: the last
    // frame and the salt (a new one each time the WAL starts over), and the header's checksum,
    // in both copies. A commit rewrites the second copy first, so one under way shows already.
    for (size_t i : kCommitWords) {
        if (walIndex_[i] != version.header[i] ||
            walIndex_[kWalHeaderWords + i] != version.header[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace velmora::registry
