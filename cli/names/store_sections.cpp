// The module's sections, read and written through its RegSection; the walks by a beginning and
// the salvage call the Linux store's own questions on a section's key.
#include "store_sections.h"

#include "store/name_store.h"
#include "store/reg_section.h"
#include "store/text_buffer.h"
#include "store_salvage.h"
#include "value_prefix.h"

namespace {

// The section as the module opens it: the temporary names volatile, the rest persistent. Throws
// the module's code when the key cannot be had.
RegSection Open(StoreSection section) {
    switch (section) {
        case StoreSection::kKeys:
            return RegSection(kKeysSection, true);
        case StoreSection::kTempKeys:
            return RegSection(kTempKeysSection, false);
        case StoreSection::kFilters:
            return RegSection(kFiltersSection, true);
        case StoreSection::kRoot:
            break;
    }
    return RegSection(true);
}

std::string Bytes(const TextBuffer& data, DWORD size) {
    return std::string(data.Text(), size);
}

bool Visit(StoreSection section, bool withValues,
           const std::function<bool(const StoreValue&)>& visit) {
    try {
        RegSection key = Open(section);
        RegValueCursor cursor(key);
        TextBuffer name;
        TextBuffer data;
        DWORD size = 0;
        StoreValue value;
        while (withValues ? cursor.Next(name, value.type, data, size) : cursor.Next(name)) {
            value.name = name.Text();
            if (withValues) {
                value.data = Bytes(data, size);
            }
            if (!visit(value)) {
                return true;
            }
        }
        return cursor.status == ERROR_NO_MORE_ITEMS;
    } catch (...) {
        return false;
    }
}

// The value `name` of an open section.
StoreResult Query(RegSection& key, const std::string& name, StoreValue* value) {
    TextBuffer data;
    DWORD size = 0;
    LONG status = key.ReadValue(name.c_str(), value->type, data, size);
    if (status == ERROR_SUCCESS) {
        value->name = name;
        value->data = Bytes(data, size);
        return StoreResult::kDone;
    }
    return status == ERROR_FILE_NOT_FOUND ? StoreResult::kMissing : StoreResult::kFailed;
}

bool VisitBeginningWith(StoreSection section, const std::string& prefix, bool withValues,
                        const std::function<bool(const StoreValue&)>& visit) {
    try {
        RegSection key = Open(section);
        struct Walk {
            RegSection& key;
            bool withValues;
            const std::function<bool(const StoreValue&)>& visit;
            StoreValue value;
            bool failed;
        } walk{key, withValues, visit, {}, false};
        // The values are read through the key the walk holds open, which costs a look-up each.
        auto each = [](const char* name, void* context) {
            auto* walk = static_cast<Walk*>(context);
            walk->value.name = name;
            if (walk->withValues) {
                StoreResult read = Query(walk->key, name, &walk->value);
                walk->failed = walk->failed || read == StoreResult::kFailed;
                if (read != StoreResult::kDone) {
                    return 1;
                }
            }
            return walk->visit(walk->value) ? 1 : 0;
        };
        return VelmoraEnumValueNamesBeginningWith(key.key, prefix.c_str(), each, &walk) ==
                   ERROR_SUCCESS &&
               !walk.failed;
    } catch (...) {
        return false;
    }
}

}  // namespace

std::string StoreValue::Text() const {
    return !data.empty() && data.back() == '\0' ? data.substr(0, data.size() - 1) : data;
}

bool VisitSection(StoreSection section, const std::function<bool(const StoreValue&)>& visit) {
    return Visit(section, true, visit);
}

bool VisitNames(StoreSection section, const std::function<bool(const StoreValue&)>& visit) {
    return Visit(section, false, visit);
}

bool VisitNamesBeginningWith(StoreSection section, const std::string& prefix,
                             const std::function<bool(const StoreValue&)>& visit) {
    return VisitBeginningWith(section, prefix, false, visit);
}

bool VisitSectionBeginningWith(StoreSection section, const std::string& prefix,
                               const std::function<bool(const StoreValue&)>& visit) {
    return VisitBeginningWith(section, prefix, true, visit);
}

LONG PermanentNameBeginsWith(const char* prefix) {
    try {
        RegSection key = Open(StoreSection::kKeys);
        return VelmoraValueNameBeginsWith(key.key, prefix);
    } catch (...) {
        return ERROR_CANTOPEN;
    }
}

bool SalvageSection(StoreSection section,
                    const std::function<bool(const StoreValue&, bool readable)>& visit,
                    size_t* unfound) {
    *unfound = 0;
    try {
        RegSection key = Open(section);
        struct Walk {
            const std::function<bool(const StoreValue&, bool)>& visit;
            StoreValue value;
        } walk{visit, {}};
        auto each = [](const char* name, DWORD type, const BYTE* data, DWORD size, void* context) {
            auto* walk = static_cast<Walk*>(context);
            walk->value.name = name;
            walk->value.type = type;
            if (data != nullptr) {
                walk->value.data.assign(reinterpret_cast<const char*>(data), size);
            } else {
                walk->value.data.clear();
            }
            return walk->visit(walk->value, data != nullptr) ? 1 : 0;
        };
        DWORD lost = 0;
        LONG status = VelmoraSalvageValues(key.key, each, &walk, &lost);
        *unfound = lost;
        return status == ERROR_SUCCESS;
    } catch (...) {
        return false;
    }
}

StoreResult ReadValue(StoreSection section, const std::string& name, StoreValue* value) {
    try {
        RegSection key = Open(section);
        return Query(key, name, value);
    } catch (...) {
        return StoreResult::kFailed;
    }
}

bool WriteValue(StoreSection section, const StoreValue& value) {
    try {
        RegSection key = Open(section);
        return key.WriteValue(value.name.c_str(), value.type, value.data.data(),
                              static_cast<DWORD>(value.data.size()));
    } catch (...) {
        return false;
    }
}

StoreResult DeleteValue(StoreSection section, const std::string& name) {
    try {
        RegSection key = Open(section);
        LONG status = key.DeleteValue(name.c_str());
        if (status == ERROR_SUCCESS) {
            return StoreResult::kDone;
        }
        return status == ERROR_FILE_NOT_FOUND ? StoreResult::kMissing : StoreResult::kFailed;
    } catch (...) {
        return StoreResult::kFailed;
    }
}

std::string NameKey(const std::string& name) {
    std::string key = name;
    for (char& c : key) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return key;
}

bool ReadEntries(std::vector<StoreEntry>* entries) {
    bool read = true;
    for (StoreSection section :
         {StoreSection::kKeys, StoreSection::kTempKeys, StoreSection::kFilters}) {
        read = VisitSection(section,
                            [&](const StoreValue& value) {
                                if (value.type == REG_SZ) {
                                    entries->push_back({section, value.name, value.Text()});
                                }
                                return true;
                            }) &&
               read;
    }
    return read;
}
