// A second process for the store's tests. "COUNT PREFIX [SECTION [volatile] [together]]" adds
// COUNT values named PREFIX-i, each holding "value-of-" and its name, one write at a time, to the
// module's SECTION ("\Keys" unless given), a key created volatile when "volatile" is given; a
// SECTION ending in "\*" puts the i-th value into a key of its own named i. "together" waits for
// the end of standard input before the first write, so that a test can start two writers at
// the same moment. "read SECTION NAME" reads one value and ends with 0 when it is there, 1 when
// it is not. A failed call ends the program with 10 + the fault recorded for the persistent
// store, else for the volatile one; calls that all succeeded while a fault was recorded for the
// store written to end it with 20 + that fault, as a program that reports the fault would fail.
#include <unistd.h>

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
    if (argc < 3 || argc > 6) {
        return 2;
    }
    long count = std::atol(argv[1]);
    std::string prefix = argv[2];
    std::string section = argc > 3 ? argv[3] : "\\Keys";
    bool isVolatile = false;
    for (int i = 4; i < argc; ++i) {
        if (std::strcmp(argv[i], "volatile") == 0) {
            isVolatile = true;
        } else if (std::strcmp(argv[i], "together") == 0) {
            char ignored[64];
            while (read(0, ignored, sizeof ignored) > 0) {
            }
        }
    }
    bool keyPerValue = section.size() >= 2 && section.compare(section.size() - 2, 2, "\\*") == 0;
    if (keyPerValue) {
        section.pop_back();
    }
    for (long i = 0; i < count; ++i) {
        std::string path = kRoot + section + (keyPerValue ? std::to_string(i) : "");
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
    int fault =
        VelmoraStoreFault(isVolatile ? kVelmoraVolatileStore : kVelmoraPersistentStore, nullptr, 0);
    return fault != kStoreFaultNone ? 20 + fault : 0;
}
