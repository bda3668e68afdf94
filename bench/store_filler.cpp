// Fills a store for the whole-process benchmarks of the velmora program: COUNT permanent names
// name000000, name000001, ... with targets of a typical length, written through the registry
// API in one key, as the module's additions write them, in one transaction.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform.h"
#include "store_transaction.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: store_filler COUNT (the store is chosen by VELMORA_REGISTRY_DIR)\n",
                   stderr);
        return 2;
    }
    long count = std::atol(argv[1]);
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Far\\Plugins\\Velmora\\Keys", 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        std::fputs("store_filler: the store cannot be opened\n", stderr);
        return 1;
    }
    // One transaction for all: a commit per name would make 100,000 names take seconds.
    VelmoraBeginStoreTransaction();
    for (long i = 0; i < count; ++i) {
        char name[32];
        char path[64];
        std::snprintf(name, sizeof name, "name%06ld", i);
        std::snprintf(path, sizeof path, "/home/user/projects/area%03ld/folder%06ld", i % 1000, i);
        if (RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(path),
                           static_cast<DWORD>(std::string(path).size() + 1)) != ERROR_SUCCESS) {
            std::fprintf(stderr, "store_filler: writing %s failed\n", name);
            VelmoraEndStoreTransaction(0);
            RegCloseKey(key);
            return 1;
        }
    }
    LONG committed = VelmoraEndStoreTransaction(1);
    RegCloseKey(key);
    if (committed != ERROR_SUCCESS) {
        std::fputs("store_filler: the names could not be committed\n", stderr);
        return 1;
    }
    return 0;
}
