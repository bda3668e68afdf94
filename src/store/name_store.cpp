// The name store over registry sections.
#include "name_store.h"

#include <cstring>

#include "errors.h"
#include "platform.h"
#include "reg_section.h"

const char kKeysSection[] = "\\Keys";
const char kTempKeysSection[] = "\\TempKeys";
const char kFiltersSection[] = "\\Filters";

namespace {

bool ReadFromSection(const char* section, bool persistent, const char* name, TextBuffer& out) {
    RegSection keys(section, persistent);
    return keys.ReadString(name, out);
}

// ERROR_SUCCESS when deleted, ERROR_FILE_NOT_FOUND when the section holds no such value, any
// other status when the store refused.
LONG DeleteFromSection(const char* section, bool persistent, const char* name) {
    RegSection keys(section, persistent);
    return keys.DeleteValue(name);
}

// 0 deleted, ErrNotFound when the section holds no such value, or the failure code.
int DeleteIn(const char* section, bool persistent, const char* name) {
    try {
        LONG status = DeleteFromSection(section, persistent, name);
        return status == ERROR_SUCCESS          ? 0
               : status == ERROR_FILE_NOT_FOUND ? ErrNotFound
                                                : ErrRegistry;
    } catch (terrors_t code) {
        return code;
    } catch (...) {
        return ErrUnexpected;
    }
}

}  // namespace

int LookupName(const char* name, TextBuffer& target) {
    // A temporary section that cannot be read holds nothing for us; the permanent one may.
    return LookupNameIn(name, true, target) == 1 ? 1 : LookupNameIn(name, false, target);
}

int LookupNameIn(const char* name, bool temporary, TextBuffer& target) {
    try {
        return ReadFromSection(temporary ? kTempKeysSection : kKeysSection, !temporary, name,
                               target)
                   ? 1
                   : 0;
    } catch (terrors_t) {
        return 0;
    }
}

int AddName(const char* name, const char* path, bool permanent) {
    const char* valueName = name != nullptr ? AddedValueName(name) : nullptr;
    if (valueName == nullptr) {
        return ErrEmptyName;
    }
    try {
        RegSection section(permanent ? kKeysSection : kTempKeysSection, permanent);
        TextBuffer joined;
        return section.WriteString(valueName, AddedTarget(name, path, joined)) ? 0 : ErrRegistry;
    } catch (terrors_t code) {
        return code;
    } catch (...) {
        return ErrUnexpected;
    }
}

const char* AddedValueName(const char* name) {
    uint32_t split = PluginCommandPos(name);
    const char* valueName = split != 0 ? name + split + 1 : name;
    return valueName[0] != '\0' ? valueName : nullptr;
}

const char* AddedTarget(const char* name, const char* path, TextBuffer& joined) {
    uint32_t split = PluginCommandPos(name);
    if (split == 0) {
        return path;
    }
    joined.Reserve(split + static_cast<uint32_t>(lstrlenA(path)) + 1);
    std::memcpy(joined.data, name, split);
    joined.data[split] = '\0';
    joined.Append(path);
    return joined.data;
}

int DeleteName(const char* name, bool filter) {
    if (filter) {
        return DeleteIn(kFiltersSection, true, name);
    }
    // A permanent name the store refused to delete is still there: the temporary one of the
    // same name must not go in its place.
    int code = DeleteNameIn(name, false);
    return code == ErrNotFound ? DeleteNameIn(name, true) : code;
}

bool LookupFilter(const char* name, TextBuffer& pattern) {
    return ReadFromSection(kFiltersSection, true, name, pattern);
}

int DeleteNameIn(const char* name, bool temporary) {
    return DeleteIn(temporary ? kTempKeysSection : kKeysSection, !temporary, name);
}

bool EntryGone(const char* name, bool filter, bool temporary) {
    RegSection section(filter      ? kFiltersSection
                       : temporary ? kTempKeysSection
                                   : kKeysSection,
                       filter || !temporary);
    return RegQueryValueExA(section.key, name, nullptr, nullptr, nullptr, nullptr) ==
           ERROR_FILE_NOT_FOUND;
}

uint32_t PluginCommandPos(const char* text) {
    uint32_t length = static_cast<uint32_t>(lstrlenA(text));
    if (length <= 2 || (text[0] == '\\' && text[1] == '\\') ||
        (kSlashRootedPaths && text[0] == '/')) {
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
