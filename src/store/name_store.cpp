// The name store over registry sections.
#include "name_store.h"

#include <cstring>

#include "../platform/platform.h"
#include "errors.h"
#include "reg_section.h"

const char kKeysSection[] = "\\Keys";
const char kTempKeysSection[] = "\\TempKeys";
const char kFiltersSection[] = "\\Filters";

namespace {

bool ReadFromSection(const char* section, bool persistent, const char* name, TextBuffer& out) {
    RegSection keys(section, persistent);
    return keys.ReadString(name, out);
}

bool DeleteFromSection(const char* section, bool persistent, const char* name) {
    RegSection keys(section, persistent);
    return keys.DeleteValue(name);
}

}  // namespace

int LookupName(const char* name, TextBuffer& target) {
    try {
        if (ReadFromSection(kTempKeysSection, false, name, target)) {
            return 1;
        }
    } catch (terrors_t) {
        // A temporary section that cannot be read holds nothing for us; the permanent one may.
    }
    try {
        return ReadFromSection(kKeysSection, true, name, target) ? 1 : 0;
    } catch (terrors_t) {
        return 0;
    }
}

int AddName(const char* name, const char* path, bool permanent) {
    uint32_t split = name != nullptr ? PluginCommandPos(name) : 0;
    // "abc:" would leave the empty value name, which is the key's default value, not a name.
    if (name == nullptr || name[0] == '\0' || (split != 0 && name[split + 1] == '\0')) {
        return ErrEmptyName;
    }
    try {
        RegSection section(permanent ? kKeysSection : kTempKeysSection, permanent);
        if (split == 0) {
            section.WriteString(name, path);
        } else {
            TextBuffer stored;
            stored.Reserve(split + static_cast<uint32_t>(lstrlenA(path)) + 1);
            std::memcpy(stored.data, name, split);
            stored.data[split] = '\0';
            stored.Append(path);
            section.WriteString(name + split + 1, stored.data);
        }
        return 0;
    } catch (terrors_t code) {
        return code;
    } catch (...) {
        return ErrUnexpected;
    }
}

int DeleteName(const char* name, bool filter) {
    try {
        bool deleted = filter ? DeleteFromSection(kFiltersSection, true, name)
                              : DeleteFromSection(kKeysSection, true, name) ||
                                    DeleteFromSection(kTempKeysSection, false, name);
        return deleted ? 0 : ErrNotFound;
    } catch (terrors_t code) {
        return code;
    } catch (...) {
        return ErrUnexpected;
    }
}

bool LookupFilter(const char* name, TextBuffer& pattern) {
    return ReadFromSection(kFiltersSection, true, name, pattern);
}

uint32_t PluginCommandPos(const char* text) {
    uint32_t length = static_cast<uint32_t>(lstrlenA(text));
    if (length <= 2 || (kSlashRootedPaths && text[0] == '/')) {
        return 0;
    }
    bool command = false;
    for (uint32_t i = 3; i < length && !command; ++i) {
        command = text[i] == ':';
    }
    if (!command) {
        return 0;
    }
    uint32_t last = length - 1;
    while (text[last] != ':') {
        --last;
    }
    return last;
}
