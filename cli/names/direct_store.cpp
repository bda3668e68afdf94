// Direct access to the store's keys. Reads open a key without creating it, so listing a store
// that was never written creates nothing.
#include "direct_store.h"

#include <vector>

#include "store/name_store.h"
#include "store/reg_section.h"
#include "store_salvage.h"
#include "value_prefix.h"

namespace {

std::string SectionPath(StoreSection section) {
    std::string path = kRootKeyPath;
    switch (section) {
        case StoreSection::kRoot:
            break;
        case StoreSection::kKeys:
            path += kKeysSection;
            break;
        case StoreSection::kTempKeys:
            path += kTempKeysSection;
            break;
        case StoreSection::kFilters:
            path += kFiltersSection;
            break;
    }
    return path;
}

// An open key, closed with its owner.
class OpenKey {
  public:
    ~OpenKey() {
        if (key_ != nullptr) {
            RegCloseKey(key_);
        }
    }
    // ERROR_SUCCESS, ERROR_FILE_NOT_FOUND for a key never created, or the failure.
    LONG Open(StoreSection section) {
        return RegOpenKeyExA(HKEY_CURRENT_USER, SectionPath(section).c_str(), 0, KEY_READ, &key_);
    }
    LONG Create(StoreSection section) {
        DWORD option =
            section == StoreSection::kTempKeys ? REG_OPTION_VOLATILE : REG_OPTION_NON_VOLATILE;
        return RegCreateKeyExA(HKEY_CURRENT_USER, SectionPath(section).c_str(), 0, nullptr, option,
                               KEY_ALL_ACCESS, nullptr, &key_, nullptr);
    }
    HKEY get() const { return key_; }

  private:
    HKEY key_ = nullptr;
};

}  // namespace

std::string StoreValue::Text() const {
    return !data.empty() && data.back() == '\0' ? data.substr(0, data.size() - 1) : data;
}

namespace {

bool Visit(StoreSection section, bool withValues,
           const std::function<bool(const StoreValue&)>& visit) {
    OpenKey key;
    LONG status = key.Open(section);
    if (status != ERROR_SUCCESS) {
        return status == ERROR_FILE_NOT_FOUND;
    }
    // Buffers that grow to the longest name and value met, so a walk allocates a few times.
    std::vector<char> name(260);
    std::vector<BYTE> data(520);
    StoreValue value;
    for (DWORD index = 0;; ++index) {
        DWORD nameSize = static_cast<DWORD>(name.size());
        DWORD dataSize = static_cast<DWORD>(data.size());
        status = withValues ? RegEnumValueA(key.get(), index, name.data(), &nameSize, nullptr,
                                            &value.type, data.data(), &dataSize)
                            : RegEnumValueA(key.get(), index, name.data(), &nameSize, nullptr,
                                            nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA) {
            // Both sizes are reported whichever was short; the same index is asked again.
            name.resize(std::max<size_t>(name.size() * 2, nameSize + 1));
            data.resize(std::max<size_t>(data.size(), dataSize));
            --index;
            continue;
        }
        if (status == ERROR_NO_MORE_ITEMS) {
            return true;
        }
        if (status != ERROR_SUCCESS) {
            return false;
        }
        value.name.assign(name.data(), nameSize);
        if (withValues) {
            value.data.assign(reinterpret_cast<const char*>(data.data()), dataSize);
        }
        if (!visit(value)) {
            return true;
        }
    }
}

}  // namespace

bool VisitSection(StoreSection section, const std::function<bool(const StoreValue&)>& visit) {
    return Visit(section, true, visit);
}

bool VisitNames(StoreSection section, const std::function<bool(const StoreValue&)>& visit) {
    return Visit(section, false, visit);
}

namespace {

// The value `name` of an open key.
StoreResult QueryValue(HKEY key, const std::string& name, StoreValue* value) {
    DWORD size = 0;
    LONG status = RegQueryValueExA(key, name.c_str(), nullptr, &value->type, nullptr, &size);
    while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
        value->data.resize(size);
        DWORD room = size;
        status = RegQueryValueExA(key, name.c_str(), nullptr, &value->type,
                                  reinterpret_cast<BYTE*>(&value->data[0]), &size);
        if (status == ERROR_SUCCESS && size <= room) {
            value->data.resize(size);
            value->name = name;
            return StoreResult::kDone;
        }
    }
    return status == ERROR_FILE_NOT_FOUND ? StoreResult::kMissing : StoreResult::kFailed;
}

bool VisitBeginningWith(StoreSection section, const std::string& prefix, bool withValues,
                        const std::function<bool(const StoreValue&)>& visit) {
    OpenKey key;
    LONG status = key.Open(section);
    if (status != ERROR_SUCCESS) {
        return status == ERROR_FILE_NOT_FOUND;
    }
    struct Visit {
        HKEY key;
        bool withValues;
        const std::function<bool(const StoreValue&)>& visit;
        StoreValue value;
        bool failed;
    } state{key.get(), withValues, visit, {}, false};
    // The values are read through the key the walk holds open, which costs a lookup each.
    auto each = [](const char* name, void* context) {
        auto* state = static_cast<Visit*>(context);
        state->value.name = name;
        if (state->withValues) {
            StoreResult read = QueryValue(state->key, name, &state->value);
            state->failed = state->failed || read == StoreResult::kFailed;
            if (read != StoreResult::kDone) {
                return 1;
            }
        }
        return state->visit(state->value) ? 1 : 0;
    };
    return VelmoraEnumValueNamesBeginningWith(key.get(), prefix.c_str(), each, &state) ==
               ERROR_SUCCESS &&
           !state.failed;
}

}  // namespace

bool VisitNamesBeginningWith(StoreSection section, const std::string& prefix,
                             const std::function<bool(const StoreValue&)>& visit) {
    return VisitBeginningWith(section, prefix, false, visit);
}

bool VisitSectionBeginningWith(StoreSection section, const std::string& prefix,
                               const std::function<bool(const StoreValue&)>& visit) {
    return VisitBeginningWith(section, prefix, true, visit);
}

bool SalvageSection(StoreSection section,
                    const std::function<bool(const StoreValue&, bool readable)>& visit,
                    size_t* unfound) {
    *unfound = 0;
    OpenKey key;
    LONG status = key.Open(section);
    if (status != ERROR_SUCCESS) {
        return status == ERROR_FILE_NOT_FOUND;
    }
    struct Visit {
        const std::function<bool(const StoreValue&, bool)>& visit;
        StoreValue value;
    } state{visit, {}};
    auto each = [](const char* name, DWORD type, const BYTE* data, DWORD size, void* context) {
        auto* state = static_cast<Visit*>(context);
        state->value.name = name;
        state->value.type = type;
        if (data != nullptr) {
            state->value.data.assign(reinterpret_cast<const char*>(data), size);
        } else {
            state->value.data.clear();
        }
        return state->visit(state->value, data != nullptr) ? 1 : 0;
    };
    DWORD lost = 0;
    status = VelmoraSalvageValues(key.get(), each, &state, &lost);
    *unfound = lost;
    return status == ERROR_SUCCESS;
}

StoreResult ReadValue(StoreSection section, const std::string& name, StoreValue* value) {
    OpenKey key;
    LONG status = key.Open(section);
    if (status == ERROR_FILE_NOT_FOUND) {
        return StoreResult::kMissing;
    }
    if (status != ERROR_SUCCESS) {
        return StoreResult::kFailed;
    }
    return QueryValue(key.get(), name, value);
}

bool WriteValue(StoreSection section, const StoreValue& value) {
    OpenKey key;
    return key.Create(section) == ERROR_SUCCESS &&
           RegSetValueExA(key.get(), value.name.c_str(), 0, value.type,
                          reinterpret_cast<const BYTE*>(value.data.data()),
                          static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
}

StoreResult DeleteValue(StoreSection section, const std::string& name) {
    OpenKey key;
    LONG status = key.Open(section);
    if (status == ERROR_SUCCESS) {
        status = RegDeleteValueA(key.get(), name.c_str());
    }
    if (status == ERROR_SUCCESS) {
        return StoreResult::kDone;
    }
    return status == ERROR_FILE_NOT_FOUND ? StoreResult::kMissing : StoreResult::kFailed;
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
