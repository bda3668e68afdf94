// A second process for the store's tests: adds COUNT values named PREFIX-i, each holding
// "value-of-" and its name, one write at a time, to the module's SECTION ("\Keys" unless given),
// a key created volatile when "volatile" follows. A failed write ends the program with 10 + the
// fault recorded for the store.
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform.h"
#include "store_faults.h"

int main(int argc, char** argv) {
    if (argc < 3 || argc > 5) {
        return 2;
    }
    long count = std::atol(argv[1]);
    std::string prefix = argv[2];
    std::string section = argc > 3 ? argv[3] : "\\Keys";
    bool isVolatile = argc > 4 && std::strcmp(argv[4], "volatile") == 0;
    std::string path = "Software\\Far\\Plugins\\Velmora" + section;
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
            return 10 +
                   VelmoraStoreFault(isVolatile ? kVelmoraVolatileStore : kVelmoraPersistentStore,
                                     nullptr, 0);
        }
    }
    return 0;
}
