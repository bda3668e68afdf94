// The committed state of a database as the header of its shared WAL index shows it. Every
// commit, by any connection in any process, rewrites that header, and SQLite itself keeps its
// page cache for as long as the header stays the same; so do the read-ahead values of an open
// key. Reading it takes no lock and no transaction.
#pragma once

#include <sqlite3.h>

#include <cstdint>

namespace velmora::registry {

struct DataVersion {
    bool known = false;
    uint32_t header[12] = {};
    // Writes and rollbacks of this process's own connection: inside a transaction they change
    // what it reads while the shared header stays as it was.
    uint64_t localChanges = 0;
};

class WalWatch {
  public:
    // Watches the WAL index of the open connection `db`; no-op unless `db` is in WAL mode and
    // has read or written since it was opened, which maps the index.
    void Attach(sqlite3* db);
    // The state now; unknown where there is no shared index or a writer is halfway through
    // rewriting its header.
    DataVersion Version(uint64_t localChanges) const;
    // True when `version` is known and nothing was committed since it was taken.
    bool Unchanged(const DataVersion& version, uint64_t localChanges) const;

  private:
    // The start of the shared WAL index, mapped by SQLite for as long as the connection is open.
    const volatile uint32_t* walIndex_ = nullptr;
};

}  // namespace velmora::registry
