// Fills a store for the whole-process benchmarks of the velmora program: COUNT permanent names
// name000000, name000001, ... with targets of a typical length below FOLDER
// (FOLDER/area123/folder000123), written through the registry API in one key, as the module's
// additions write them, in one transaction. The benchmark makes the folders it jumps to, so that
// a jump lands as it does for a user; the others need not exist.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform.h"
#include "store_transaction.h"

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fputs(
            "usage: store_filler COUNT [FOLDER] (the store is chosen by "
            "VELMORA_REGISTRY_DIR; FOLDER is /home/user/projects unless given)\n",
            stderr);
        return 2;
    }
    long count = std::atol(argv[1]);
    std::string folder = argc == 3 ? argv[2] : "/home/user/projects";
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
        char below[48];
        std::snprintf(name, sizeof name, "name%06ld", i);
        std::snprintf(below, sizeof below, "/area%03ld/folder%06ld", i % 1000, i);
        std::string path = folder + below;
        if (RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                           static_cast<DWORD>(path.size() + 1)) != ERROR_SUCCESS) {
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
