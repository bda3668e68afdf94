// A second process for the store's tests. "COUNT PREFIX [SECTION [volatile]]" adds COUNT values
// named PREFIX-i, each holding "value-of-" and its name, one write at a time, to the module's
// SECTION ("\Keys" unless given), a key created volatile when "volatile" follows. "read SECTION
// NAME" reads one value and ends with 0 when it is there, 1 when it is not. A failed call ends
// the program with 10 + the fault recorded for the persistent store, else for the volatile one.
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform.h"
#include "store_faults.h"

namespace {

const char kRoot[] = "Software\\Far\\Plugins\\Velmora";

int Failed() {
    int fault = VelmoraStoreFault(kVelmoraPersistentStore, nullptr, 0);
    return 10 + (fault != kStoreFaultNone ? fault
                                          : VelmoraStoreFault(kVelmoraVolatileStore, nullptr, 0));
}

int Read(const std::string& section, const char* name) {
    HKEY key = nullptr;
    LONG status = RegOpenKeyExA(HKEY_CURRENT_USER, (kRoot + section).c_str(), 0, KEY_READ, &key);
    if (status == ERROR_SUCCESS) {
        DWORD size = 0;
        status = RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size);
        RegCloseKey(key);
    }
    if (status == ERROR_FILE_NOT_FOUND) {
        return 1;
    }
    return status == ERROR_SUCCESS ? 0 : Failed();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "read") == 0) {
        return Read(argv[2], argv[3]);
    }
    if (argc < 3 || argc > 5) {
        return 2;
    }
    long count = std::atol(argv[1]);
    std::string prefix = argv[2];
    std::string section = argc > 3 ? argv[3] : "\\Keys";
    bool isVolatile = argc > 4 && std::strcmp(argv[4], "volatile") == 0;
    std::string path = kRoot + section;
    for (long i = 0; i < count; ++i) {
        HKEY key = nullptr;
        std::string name = prefix + "-" + std::to_string(i);
        std::string value = "value-of-" + name;
        LONG status = RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr,
                                      isVolatile ? REG_OPTION_VOLATILE : REG_OPTION_NON_VOLATILE,
                                      KEY_ALL_ACCESS, nullptr, &key, nullptr);
        if (status == ERROR_SUCCESS) {
            status = RegSetValueExA(key, name.c_str(), 0, REG_SZ,
                                    reinterpret_cast<const BYTE*>(value.c_str()),
                                    static_cast<DWORD>(value.size() + 1));
            RegCloseKey(key);
        }
        if (status != ERROR_SUCCESS) {
            return Failed();
        }
    }
    return 0;
}
