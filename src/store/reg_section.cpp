// Registry sections over the platform's registry functions. Texts and names are read into
// blocks that start at 260 bytes, so the usual value costs a single call.
#include "reg_section.h"

#include "errors.h"

const char kRootKeyPath[] = "Software\\Far\\Plugins\\Velmora";

namespace {

constexpr DWORD kFirstReadSize = 260;

// Whether a read that ended with `status`, having found a value of `type` or none, failed: not
// a value that is missing, nor one of a type other than `wanted`, but one that is there and
// could not be had (a store that failed to read, a number longer than its type holds).
bool ReadFailed(LONG status, DWORD type, DWORD wanted) {
    if (status == ERROR_FILE_NOT_FOUND) {
        return false;
    }
    if ((status == ERROR_SUCCESS || status == ERROR_MORE_DATA) && type != wanted) {
        return false;
    }
    return status != ERROR_SUCCESS;
}

void Tell(bool* failed, bool value) {
    if (failed != nullptr) {
        *failed = value;
    }
}

}  // namespace

RegSection::RegSection(bool persistent) {
    Open(kRootKeyPath, persistent);
}

RegSection::RegSection(const char* subsection, bool persistent) {
    TextBuffer path;
    path.Assign(kRootKeyPath);
    path.Append(subsection);
    Open(path.data, persistent);
}

void RegSection::Open(const char* path, bool persistent) {
    LONG status = RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr,
                                  persistent ? REG_OPTION_NON_VOLATILE : REG_OPTION_VOLATILE,
                                  KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS) {
        throw ErrRegistry;
    }
}

RegSection::~RegSection() {
    RegCloseKey(key);
}

bool RegSection::WriteString(const char* name, const char* text) {
    text = text != nullptr ? text : "";
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(lstrlenA(text)) + 1) == ERROR_SUCCESS;
}

bool RegSection::ReadString(const char* name, TextBuffer& out, bool* failed) {
    DWORD size = kFirstReadSize;
    DWORD type = REG_NONE;
    LONG status;
    for (;;) {
        out.Reserve(size);
        DWORD room = size;
        status =
            RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(out.data), &size);
        if (status == ERROR_MORE_DATA) {
            size = size > room ? size : room * 2;
            continue;
        }
        // A text stored without its zero byte that fills the block exactly gets one more byte
        // of room, so that the zero-filled block terminates it.
        if (status == ERROR_SUCCESS && type == REG_SZ && size >= out.capacity &&
            (size == 0 || out.data[size - 1] != '\0')) {
            size = out.capacity + 1;
            continue;
        }
        if (status == ERROR_SUCCESS && type == REG_SZ && size < out.capacity) {
            out.data[size] = '\0';
        }
        break;
    }
    Tell(failed, ReadFailed(status, type, REG_SZ));
    return status == ERROR_SUCCESS && type == REG_SZ;
}

LONG RegSection::DeleteValue(const char* name) {
    return RegDeleteValueA(key, name);
}

bool RegSection::WriteDword(const char* name, DWORD value) {
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof value) == ERROR_SUCCESS;
}

bool RegSection::ReadDword(const char* name, DWORD& out, bool* failed) {
    DWORD size = sizeof out;
    DWORD type = REG_NONE;
    LONG status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&out), &size);
    Tell(failed, ReadFailed(status, type, REG_DWORD));
    return status == ERROR_SUCCESS && type == REG_DWORD;
}

bool RegValueCursor::Next(TextBuffer& name) {
    DWORD size = kFirstReadSize;
    LONG status;
    for (;;) {
        name.Reserve(size);
        DWORD room = size;
        status = RegEnumValueA(key, index, name.data, &size, nullptr, nullptr, nullptr, nullptr);
        if (status != ERROR_MORE_DATA) {
            break;
        }
        if (size <= room) {
            // The platform did not say how much the name needs: ask for the longest name of
            // the key, and double the room when even that does not help.
            DWORD longest = 0;
            RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             &longest, nullptr, nullptr, nullptr);
            size = longest + 1 > room ? longest + 1 : room * 2;
        }
        // No limit here: a name longer than the registry's own, left by another program, is
        // one entry like any other, and giving up on it would end the walk before the rest.
        // The room grows each round, so a platform that never says enough ends on the heap.
    }
    if (status != ERROR_SUCCESS) {
        return false;
    }
    ++index;
    return true;
}

bool RegValueCursor::Count(uint32_t& number) {
    DWORD values = 0;
    LONG status = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                   &values, nullptr, nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS) {
        return false;
    }
    number = values;
    return true;
}
