// The module's sections as the velmora program lists, exports, imports and checks them: through
// the module's own registry sections (store/reg_section.h), values of every type whole whatever
// their length, and every failure seen, where the module counts a store it cannot read as one
// that holds nothing. Reading makes no file: the Linux store makes a key at its first write.
// Also the store's name index, which lets the module answer a jump without the host.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform.h"

// The root holds the settings; the three sections the names and filters.
enum class StoreSection { kRoot, kKeys, kTempKeys, kFilters };

struct StoreValue {
    std::string name;
    DWORD type = REG_NONE;
    // The bytes as stored; a text's data ends with its zero byte.
    std::string data;

    // A text value's data without the zero byte the registry keeps behind it.
    std::string Text() const;
};

enum class StoreResult { kDone, kMissing, kFailed };

// Calls `visit` for every value of the section in the store's order until it returns false.
// A section that was never created holds none. False when the store failed.
bool VisitSection(StoreSection section, const std::function<bool(const StoreValue&)>& visit);
// The same for the names alone (`type` and `data` stay empty), which the store reads faster.
bool VisitNames(StoreSection section, const std::function<bool(const StoreValue&)>& visit);
// The same for the names that begin with `prefix` (ASCII case ignored, as the store compares
// names), found through the store's name index (value_prefix.h), in its order rather than the
// store's.
bool VisitNamesBeginningWith(StoreSection section, const std::string& prefix,
                             const std::function<bool(const StoreValue&)>& visit);
// The same over a damaged store, read on past every damaged part (store_salvage.h): `readable`
// is false for a value whose name alone could be read, and `*unfound` counts the damaged parts
// where values may have been lost with their names. False when no value of the section could
// be read.
bool SalvageSection(StoreSection section,
                    const std::function<bool(const StoreValue&, bool readable)>& visit,
                    size_t* unfound);
// The same with each value read, through the key held open for the walk.
bool VisitSectionBeginningWith(StoreSection section, const std::string& prefix,
                               const std::function<bool(const StoreValue&)>& visit);
// Whether a permanent name begins with `prefix` (ASCII case ignored), asked of the store's name
// index without a walk: ERROR_SUCCESS, ERROR_FILE_NOT_FOUND, or the failure. What the module asks
// in place of the host's completion (NameProbe), so that a jump the store answers starts no host.
LONG PermanentNameBeginsWith(const char* prefix);
StoreResult ReadValue(StoreSection section, const std::string& name, StoreValue* value);
// The section is created when missing (volatile for the temporary names).
bool WriteValue(StoreSection section, const StoreValue& value);
StoreResult DeleteValue(StoreSection section, const std::string& name);

// The form in which the store compares names: it ignores the letter case of ASCII letters only.
std::string NameKey(const std::string& name);

// A name or a filter as the store holds it.
struct StoreEntry {
    StoreSection section = StoreSection::kKeys;
    std::string name;
    // The target of a name, the pattern of a filter.
    std::string text;
};

// The text values of the sections, in the store's order: permanent names, temporary names,
// filters (values of other types are none of the module's). False when a section could not be
// read; the others are read all the same.
bool ReadEntries(std::vector<StoreEntry>* entries);
