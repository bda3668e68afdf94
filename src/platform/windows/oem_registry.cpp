// The registry's 8-bit functions in the host's OEM code page, over the system's UTF-16 ones.
// Names, key paths and text values (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) are converted; other
// values pass as their bytes. Sizes are those of the converted texts, as the 8-bit functions
// report them, ERROR_MORE_DATA with the size needed included.
#include <cstring>
#include <new>
#include <vector>

#include "oem_functions.h"
#include "oem_text.h"
#include "../value_name_limit.h"

namespace {

// The most bytes one UTF-16 unit can become: the escape <U+XXXX> of a character the page lacks.
constexpr DWORD kMostBytesPerUnit = 8;

bool IsText(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

// A name converted, or none for the key's default value.
class WideName {
  public:
    explicit WideName(LPCSTR name) : given_(name != nullptr), text_(FromHostText(name)) {}
    LPCWSTR Get() const { return given_ ? text_.c_str() : nullptr; }

  private:
    bool given_;
    std::wstring text_;
};

// Hands `bytes` over as the 8-bit functions do: the size needed alone when there is no room
// given, ERROR_MORE_DATA with it when the room is too small.
LONG Deliver(const void* bytes, DWORD size, LPBYTE data, LPDWORD room) {
    if (room == nullptr) {
        return data == nullptr ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER;
    }
    DWORD given = *room;
    *room = size;
    if (data == nullptr) {
        return ERROR_SUCCESS;
    }
    if (given < size) {
        return ERROR_MORE_DATA;
    }
    std::memcpy(data, bytes, size);
    return ERROR_SUCCESS;
}

// A value's type and, as the 8-bit function gives them, its data.
LONG QueryValue(HKEY key, LPCWSTR name, LPDWORD type, LPBYTE data, LPDWORD size) {
    DWORD stored = REG_NONE;
    std::vector<BYTE> raw(64);
    LONG status;
    for (;;) {
        DWORD rawSize = static_cast<DWORD>(raw.size());
        status = RegQueryValueExW(key, name, nullptr, &stored, raw.data(), &rawSize);
        if (status == ERROR_MORE_DATA) {
            // The value may grow between two calls: ask again with the room it said it needs.
            raw.resize(rawSize > raw.size() ? rawSize : raw.size() * 2);
            continue;
        }
        raw.resize(rawSize);
        break;
    }
    if (status != ERROR_SUCCESS) {
        return status;
    }
    if (type != nullptr) {
        *type = stored;
    }
    if (!IsText(stored)) {
        return Deliver(raw.data(), static_cast<DWORD>(raw.size()), data, size);
    }
    std::wstring units(raw.size() / sizeof(wchar_t), L'\0');
    std::memcpy(&units[0], raw.data(), units.size() * sizeof(wchar_t));
    std::string text = ToHostText(units.data(), units.size());
    return Deliver(text.data(), static_cast<DWORD>(text.size()), data, size);
}

DWORD Widened(DWORD units) {
    return units > MAXDWORD / kMostBytesPerUnit ? MAXDWORD : units * kMostBytesPerUnit;
}

}  // namespace

LONG WINAPI VelmoraRegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass,
                                   DWORD options, REGSAM access,
                                   const LPSECURITY_ATTRIBUTES security, PHKEY result,
                                   LPDWORD disposition) {
    try {
        WideName path(subKey);
        std::wstring wideClass = FromHostText(keyClass);
        return RegCreateKeyExW(key, path.Get(), reserved,
                               keyClass != nullptr ? &wideClass[0] : nullptr, options, access,
                               security, result, disposition);
    } catch (const std::bad_alloc&) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
}

LONG WINAPI VelmoraRegSetValueExA(HKEY key, LPCSTR name, DWORD reserved, DWORD type,
                                  const BYTE* data, DWORD size) {
    try {
        WideName wideName(name);
        if (!IsText(type) || data == nullptr) {
            return RegSetValueExW(key, wideName.Get(), reserved, type, data, size);
        }
        // The text's own zero byte, when it is given, becomes a zero of the converted text.
        std::wstring text = FromHostText(reinterpret_cast<const char*>(data), size);
        return RegSetValueExW(key, wideName.Get(), reserved, type,
                              reinterpret_cast<const BYTE*>(text.data()),
                              static_cast<DWORD>(text.size() * sizeof(wchar_t)));
    } catch (const std::bad_alloc&) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
}

LONG WINAPI VelmoraRegQueryValueExA(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type,
                                    LPBYTE data, LPDWORD size) {
    if (reserved != nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    try {
        WideName wideName(name);
        return QueryValue(key, wideName.Get(), type, data, size);
    } catch (const std::bad_alloc&) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
}

LONG WINAPI VelmoraRegDeleteValueA(HKEY key, LPCSTR name) {
    try {
        WideName wideName(name);
        return RegDeleteValueW(key, wideName.Get());
    } catch (const std::bad_alloc&) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
}

LONG WINAPI VelmoraRegEnumValueA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize,
                                 LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD dataSize) {
    if (name == nullptr || nameSize == nullptr || reserved != nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    try {
        // Most names fit the first room; the longest one the registry holds fits the second.
        std::vector<wchar_t> wide(260);
        DWORD units = static_cast<DWORD>(wide.size());
        LONG status =
            RegEnumValueW(key, index, wide.data(), &units, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA) {
            wide.resize(kLongestValueName + 1);
            units = static_cast<DWORD>(wide.size());
            status =
                RegEnumValueW(key, index, wide.data(), &units, nullptr, nullptr, nullptr, nullptr);
        }
        if (status != ERROR_SUCCESS) {
            return status;
        }
        std::string text = ToHostText(wide.data(), units);
        if (*nameSize <= text.size()) {
            // Unlike the system's own, this says how much room the name needs.
            *nameSize = static_cast<DWORD>(text.size() + 1);
            return ERROR_MORE_DATA;
        }
        std::memcpy(name, text.c_str(), text.size() + 1);
        *nameSize = static_cast<DWORD>(text.size());
        if (type == nullptr && data == nullptr && dataSize == nullptr) {
            return ERROR_SUCCESS;
        }
        wide.resize(units);
        wide.push_back(L'\0');
        return QueryValue(key, wide.data(), type, data, dataSize);
    } catch (const std::bad_alloc&) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
}

LONG WINAPI VelmoraRegQueryInfoKeyA(HKEY key, LPSTR keyClass, LPDWORD classSize, LPDWORD reserved,
                                    LPDWORD subKeys, LPDWORD longestSubKey, LPDWORD longestClass,
                                    LPDWORD values, LPDWORD longestValueName, LPDWORD longestValue,
                                    LPDWORD securityDescriptor, PFILETIME lastWrite) {
    // The module asks for counts and lengths only; a class is no text of its.
    if (keyClass != nullptr || classSize != nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    LONG status =
        RegQueryInfoKeyW(key, nullptr, nullptr, reserved, subKeys, longestSubKey, longestClass,
                         values, longestValueName, longestValue, securityDescriptor, lastWrite);
    // The lengths count UTF-16 units; here they bound the converted texts' bytes.
    if (status == ERROR_SUCCESS && longestValueName != nullptr) {
        *longestValueName = Widened(*longestValueName);
    }
    if (status == ERROR_SUCCESS && longestValue != nullptr) {
        *longestValue = Widened(*longestValue / sizeof(wchar_t) + 1);
    }
    return status;
}
