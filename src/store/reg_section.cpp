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
    DWORD type = REG_NONE;
    DWORD size = 0;
    LONG status = ReadValue(name, type, out, size);
    Tell(failed, ReadFailed(status, type, REG_SZ));
    return status == ERROR_SUCCESS && type == REG_SZ;
}

LONG RegSection::ReadValue(const char* name, DWORD& type, TextBuffer& data, DWORD& size) {
    size = kFirstReadSize;
    type = REG_NONE;
    for (;;) {
        data.Reserve(size);
        DWORD room = size;
        LONG status =
            RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data), &size);
        if (status == ERROR_MORE_DATA) {
            size = size > room ? size : room * 2;
            continue;
        }
        // A value that fills the block exactly (a text stored without its zero byte) gets one
        // more byte of room, so that the zero-filled block terminates it.
        if (status == ERROR_SUCCESS && size >= data.capacity &&
            (size == 0 || data.data[size - 1] != '\0')) {
            size = data.capacity + 1;
            continue;
        }
        if (status == ERROR_SUCCESS && size < data.capacity) {
            data.data[size] = '\0';
        }
        return status;
    }
}

bool RegSection::WriteValue(const char* name, DWORD type, const void* data, DWORD size) {
    return RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size) ==
           ERROR_SUCCESS;
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
    return Step(name, nullptr, nullptr, nullptr);
}

bool RegValueCursor::Next(TextBuffer& name, DWORD& type, TextBuffer& data, DWORD& size) {
    return Step(name, &type, &data, &size);
}

bool RegValueCursor::Step(TextBuffer& name, DWORD* type, TextBuffer* data, DWORD* size) {
    DWORD nameRoom = kFirstReadSize;
    DWORD dataRoom = kFirstReadSize;
    for (;;) {
        name.Reserve(nameRoom);
        DWORD nameSize = nameRoom;
        if (data != nullptr) {
            // One byte past the room offered stays zero and terminates a text.
            data->Reserve(dataRoom + 1);
            *size = dataRoom;
        }
        status =
            RegEnumValueA(key, index, name.data, &nameSize, nullptr, type,
                          data != nullptr ? reinterpret_cast<BYTE*>(data->data) : nullptr, size);
        if (status != ERROR_MORE_DATA) {
            break;
        }
        bool grown = false;
        if (data != nullptr && *size > dataRoom) {
            dataRoom = *size;
            grown = true;
        }
        if (nameSize > nameRoom) {
            nameRoom = nameSize + 1;
            grown = true;
        }
        if (!grown) {
            // The platform did not say how much is needed: ask for the key's longest name and
            // value, and double the room when even that does not help.
            DWORD longestName = 0;
            DWORD longestData = 0;
            RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             &longestName, &longestData, nullptr, nullptr);
            nameRoom = longestName + 1 > nameRoom ? longestName + 1 : nameRoom * 2;
            dataRoom = longestData > dataRoom ? longestData : dataRoom * 2;
        }
        // No limit here: a name longer than the registry's own, left by another program, is
        // one entry like any other, and giving up on it would end the walk before the rest.
        // The room grows each round, so a platform that never says enough ends on the heap.
    }
    if (status != ERROR_SUCCESS) {
        return false;
    }
    if (data != nullptr) {
        data->data[*size] = '\0';
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
