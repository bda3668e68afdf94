// Reads the registry directly, as a user with a registry editor would, so that tests assert
// what the module left in the store rather than what it says about it.
#pragma once

#include <string>
#include <vector>

#include "platform.h"

struct StoredValue {
    DWORD type = REG_NONE;
    std::string data;  // the raw bytes, terminating zero included for texts
};

// The module's root path followed by `section` ("" for the root itself).
std::string ModuleKeyPath(const char* section);
bool KeyExists(const char* section);
// False when the key or the value is missing.
bool ReadStored(const char* section, const char* name, StoredValue* value);
// The text of a REG_SZ value without its zero byte; "<missing>" when there is none.
std::string StoredText(const char* section, const char* name);
// Value names in enumeration order.
std::vector<std::string> StoredNames(const char* section);
// The order in which the platform enumerates values written in `written` order: the order of
// first writing in our store and in Windows; Wine keeps a key's values sorted by name.
std::vector<std::string> InEnumerationOrder(std::vector<std::string> written);
// Writes a raw value, creating the key (volatile when asked).
void WriteStored(const char* section, const char* name, DWORD type, const std::string& bytes,
                 bool isVolatile = false);
// Deletes a value, as another program may while the module runs.
void DeleteStored(const char* section, const char* name);
