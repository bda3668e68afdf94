// The enumeration of one open key's values (RegEnumValueA): values are read ahead in runs and
// delivered one per call while no commit has touched the database since the run was read; a
// query of the value just delivered is answered from the same run.
#pragma once

#include <cstdint>

#include "data_version.h"
#include "registry_db.h"
#include "value_list.h"
#include "windows_api.h"

namespace velmora::registry {

// Copies `size` bytes into a caller's buffer of `*capacity` bytes, the registry's way: the
// needed size is always reported, and a buffer too small gets ERROR_MORE_DATA.
LONG CopyOut(const void* bytes, DWORD size, LPBYTE buffer, LPDWORD capacity);

class ValueWalk {
  public:
    // Value `index` of key `key`, with RegEnumValueA's arguments and status codes.
    LONG Enumerate(Database& db, int64_t key, DWORD index, LPSTR name, LPDWORD nameChars,
                   LPDWORD type, LPBYTE data, LPDWORD dataSize);
    // A query of value `name`: when the walk delivered that value last and the database has
    // not changed since, the walk's caller reads values as it walks, and the value is copied
    // out here if it was read with its data (true, with the status in `status`). False when the
    // query must go to the database.
    bool AnswerQuery(const Database& db, const char* name, LPDWORD type, LPBYTE data,
                     LPDWORD dataSize, LONG* status);

  private:
    // Reads the next run, starting at `index` or after the last value delivered.
    LONG Refill(Database& db, int64_t key, DWORD index, bool continues, bool unchanged);
    // Copies the next value of the run out and moves past it when that succeeded.
    LONG Deliver(DWORD index, LPSTR name, LPDWORD nameChars, LPDWORD type, LPBYTE data,
                 LPDWORD dataSize);

    // Where the last enumeration stopped, so that the next index continues from there.
    DWORD nextIndex_ = 0;
    int64_t nextAfterSeq_ = -1;
    // The run read with the last value delivered: `ahead_[pos_ - 1]` is that one and the rest
    // follow it. They stand for the database only while it is still at `version_`; a query per
    // value would cost a read transaction each.
    ValueList ahead_;
    size_t pos_ = 0;
    DataVersion version_;
    DWORD limit_ = 0;
    // A walk reads names alone until its caller shows that it reads each value as well, by
    // asking for the types or data or by querying the value it was just given.
    bool readsValues_ = false;
};

}  // namespace velmora::registry
