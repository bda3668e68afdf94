// A process that starts, uses the registry store once and ends, as the velmora program does for
// each shell command: "none" touches nothing (the cost of a process), "lookup NAME" reads one
// value of "\Keys", "walk" enumerates "\Keys" and reads every value, "fill COUNT" writes COUNT
// values "name<i>" value by value as the module would. Exits 0 when all went well, and prints
// the process's peak memory in kB.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "platform.h"

namespace {

const char kKeys[] = "Software\\Far\\Plugins\\Velmora\\Keys";

bool Lookup(HKEY keys, const char* name) {
    char value[1024];
    DWORD size = sizeof value, type = 0;
    return RegQueryValueExA(keys, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
           ERROR_SUCCESS;
}

bool Walk(HKEY keys) {
    DWORD count = 0;
    if (RegQueryInfoKeyA(keys, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    DWORD seen = 0;
    for (;; ++seen) {
        char name[16384];
        DWORD size = sizeof name;
        LONG status = RegEnumValueA(keys, seen, name, &size, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (status != ERROR_SUCCESS || !Lookup(keys, name)) {
            return false;
        }
    }
    return seen == count;
}

// Names and targets of a typical length.
bool Fill(HKEY keys, long count) {
    for (long i = 0; i < count; ++i) {
        std::string name = "name" + std::to_string(i);
        std::string target =
            "/home/user/projects/area" + std::to_string(i % 1000) + "/folder" + std::to_string(i);
        if (RegSetValueExA(keys, name.c_str(), 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(target.c_str()),
                           static_cast<DWORD>(target.size() + 1)) != ERROR_SUCCESS) {
            return false;
        }
    }
    return true;
}

bool Probe(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "none") == 0) {
        return true;
    }
    bool fill = std::strcmp(argv[1], "fill") == 0;
    HKEY keys = nullptr;
    LONG status =
        fill ? RegCreateKeyExA(HKEY_CURRENT_USER, kKeys, 0, nullptr, REG_OPTION_NON_VOLATILE,
                               KEY_ALL_ACCESS, nullptr, &keys, nullptr)
             : RegOpenKeyExA(HKEY_CURRENT_USER, kKeys, 0, KEY_READ, &keys);
    if (status != ERROR_SUCCESS) {
        return false;
    }
    bool done = false;
    if (fill) {
        done = argc > 2 && Fill(keys, std::atol(argv[2]));
    } else if (std::strcmp(argv[1], "walk") == 0) {
        done = Walk(keys);
    } else {
        done = argc > 2 && Lookup(keys, argv[2]);
    }
    RegCloseKey(keys);
    return done;
}

// The high-water mark of this program's own memory: getrusage would also count the memory of
// the process that started it, which the kernel carries over into ru_maxrss at exec.
long PeakKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, 6, "VmHWM:") == 0) {
            return std::atol(line.c_str() + 6);
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    bool done = Probe(argc, argv);
    std::printf("%ld\n", PeakKb());
    return done ? 0 : 1;
}
