// Direct registry reads and writes for tests.
#include "registry_probe.h"

#include <gtest/gtest.h>
#include <strings.h>

#include <algorithm>
#include <vector>

namespace {

HKEY OpenExisting(const char* section, REGSAM access = KEY_READ) {
    HKEY key = nullptr;
    std::string path = ModuleKeyPath(section);
    return RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, access, &key) == ERROR_SUCCESS
               ? key
               : nullptr;
}

}  // namespace

std::string ModuleKeyPath(const char* section) {
    return std::string("Software\\Far\\Plugins\\Velmora") + section;
}

bool KeyExists(const char* section) {
    HKEY key = OpenExisting(section);
    if (key != nullptr) {
        RegCloseKey(key);
    }
    return key != nullptr;
}

bool ReadStored(const char* section, const char* name, StoredValue* value) {
    HKEY key = OpenExisting(section);
    if (key == nullptr) {
        return false;
    }
    DWORD size = 0;
    LONG status = RegQueryValueExA(key, name, nullptr, &value->type, nullptr, &size);
    if (status == ERROR_SUCCESS) {
        value->data.assign(size, '\0');
        status = RegQueryValueExA(key, name, nullptr, &value->type,
                                  reinterpret_cast<BYTE*>(value->data.data()), &size);
        value->data.resize(size);
    }
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

std::string StoredText(const char* section, const char* name) {
    StoredValue value;
    if (!ReadStored(section, name, &value) || value.type != REG_SZ) {
        return "<missing>";
    }
    if (!value.data.empty() && value.data.back() == '\0') {
        value.data.pop_back();
    }
    return value.data;
}

std::vector<std::string> StoredNames(const char* section) {
    std::vector<std::string> names;
    HKEY key = OpenExisting(section);
    if (key == nullptr) {
        return names;
    }
    std::vector<char> name(16384);
    for (DWORD index = 0;;) {
        DWORD size = static_cast<DWORD>(name.size());
        LONG status =
            RegEnumValueA(key, index, name.data(), &size, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA) {
            name.resize(name.size() * 2);
            continue;
        }
        if (status != ERROR_SUCCESS) {
            break;
        }
        names.emplace_back(name.data(), size);
        ++index;
    }
    RegCloseKey(key);
    return names;
}

void WriteStored(const char* section, const char* name, DWORD type, const std::string& bytes,
                 bool isVolatile) {
    HKEY key = nullptr;
    std::string path = ModuleKeyPath(section);
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr,
                              isVolatile ? REG_OPTION_VOLATILE : REG_OPTION_NON_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                             static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

void DeleteStored(const char* section, const char* name) {
    HKEY key = OpenExisting(section, KEY_ALL_ACCESS);
    ASSERT_NE(key, nullptr) << section;
    EXPECT_EQ(RegDeleteValueA(key, name), ERROR_SUCCESS) << name;
    RegCloseKey(key);
}

std::vector<std::string> InEnumerationOrder(std::vector<std::string> written) {
#ifdef _WIN32
    std::sort(written.begin(), written.end(), [](const std::string& a, const std::string& b) {
        return strcasecmp(a.c_str(), b.c_str()) < 0;
    });
#endif
    return written;
}
