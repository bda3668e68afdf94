// Reading what is left of a key in a damaged database. A walk stops at the first page it cannot
// read; this one reads the values twice, through the table (in the order of their names) and
// through the index of their order, skipping past every damaged part of each, so that a value
// is found wherever one of the two can still be read there.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "registry_db.h"

namespace velmora::registry {

struct SalvagedValue {
    std::string name;
    DWORD type = REG_NONE;
    std::string data;
    // False when the name alone could be read.
    bool readable = false;
};

// Every value of `key` that can be found, in first-written order. `*unfound` comes back as the
// number of damaged parts skipped where values may have been lost with their names.
// ERROR_SUCCESS, or the failure that kept the walk from reading any value of the key.
LONG SalvageValues(Database& db, int64_t key, std::vector<SalvagedValue>* values, DWORD* unfound);

}  // namespace velmora::registry
