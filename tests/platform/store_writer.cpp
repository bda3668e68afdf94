// A second process for the store's tests: adds COUNT values named PREFIX-i to the module's
// "\Keys" section, each holding "value-of-" and its name, one write at a time.
#include <cstdlib>
#include <string>

#include "platform.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        return 2;
    }
    long count = std::atol(argv[1]);
    std::string prefix = argv[2];
    for (long i = 0; i < count; ++i) {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Far\\Plugins\\Velmora\\Keys", 0, nullptr,
                            REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr) != ERROR_SUCCESS) {
            return 1;
        }
        std::string name = prefix + "-" + std::to_string(i);
        std::string value = "value-of-" + name;
        LONG status = RegSetValueExA(key, name.c_str(), 0, REG_SZ,
                                     reinterpret_cast<const BYTE*>(value.c_str()),
                                     static_cast<DWORD>(value.size() + 1));
        RegCloseKey(key);
        if (status != ERROR_SUCCESS) {
            return 1;
        }
    }
    return 0;
}
