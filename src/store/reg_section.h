// RegSection: the module's root key "Software\Far\Plugins\Velmora" below HKEY_CURRENT_USER, or
// one subsection of it, open for the length of one module call. RegValueCursor walks the values
// of an open section. A program that lists, exports or imports the store reads and writes it
// through these too, values of every type whole.
#pragma once

#include <cstdint>

#include "platform.h"
#include "text_buffer.h"

extern const char kRootKeyPath[];

class RegSection {
  public:
    // Opens the root, which the system's registry creates when missing and the Linux store at
    // its first write; `persistent` false asks for a volatile key, which counts only when the
    // key is created. Throws ErrRegistry when the key cannot be had.
    explicit RegSection(bool persistent);
    // Opens the root path followed by `subsection` (which carries its leading backslash).
    RegSection(const char* subsection, bool persistent);
    virtual ~RegSection();
    RegSection(const RegSection&) = delete;
    RegSection& operator=(const RegSection&) = delete;

    bool WriteString(const char* name, const char* text);
    // True only for a value of type REG_SZ; `out` then holds its text, always terminated. When
    // false, `failed` (if given) tells a value the registry could not deliver, which may still
    // hold the user's data, from one that is missing or of another type.
    bool ReadString(const char* name, TextBuffer& out, bool* failed = nullptr);
    // The platform's status: ERROR_FILE_NOT_FOUND tells a missing value from a refused delete.
    LONG DeleteValue(const char* name);
    bool WriteDword(const char* name, DWORD value);
    // True only for a value of type REG_DWORD; `failed` as for ReadString.
    bool ReadDword(const char* name, DWORD& out, bool* failed = nullptr);
    // The value `name` whatever its type: its type, and its `size` bytes in `data`, ended by a
    // zero byte (its own last one where it ends in one). The registry's status:
    // ERROR_FILE_NOT_FOUND for a missing value.
    LONG ReadValue(const char* name, DWORD& type, TextBuffer& data, DWORD& size);
    bool WriteValue(const char* name, DWORD type, const void* data, DWORD size);

    HKEY key = nullptr;

  private:
    void Open(const char* path, bool persistent);
};

class RegValueCursor {
  public:
    // The section must outlive the cursor.
    explicit RegValueCursor(const RegSection& section) : key(section.key) {}

    // Delivers the next value name, whole however long it is.
    bool Next(TextBuffer& name);
    // The same with the value's type and its `size` bytes in `data`, followed by a zero byte.
    bool Next(TextBuffer& name, DWORD& type, TextBuffer& data, DWORD& size);
    bool Count(uint32_t& number);

    HKEY key;
    uint32_t index = 0;
    // The status of the last step: ERROR_NO_MORE_ITEMS once every value was delivered, any
    // other failure when the walk could not go on.
    LONG status = ERROR_SUCCESS;

  private:
    bool Step(TextBuffer& name, DWORD* type, TextBuffer* data, DWORD* size);
};
