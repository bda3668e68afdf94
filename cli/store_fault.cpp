// The store's faults as the program says them.
#include "store_fault.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstdio>

#include "exit_status.h"
#include "store_faults.h"

namespace {

using FaultFunction = int (*)(int store, char* text, size_t size);
FaultFunction moduleFault = nullptr;

const int kStores[] = {kVelmoraPersistentStore, kVelmoraVolatileStore};

void AddFault(FaultFunction fault, int store, std::vector<std::string>* lines) {
    char text[4096 + 256];
    if (fault != nullptr && fault(store, text, sizeof text) != kStoreFaultNone &&
        std::find(lines->begin(), lines->end(), text) == lines->end()) {
        lines->push_back(text);
    }
}

}  // namespace

void UseModuleFaults(void* module) {
    moduleFault = module != nullptr
                      ? reinterpret_cast<FaultFunction>(dlsym(module, "VelmoraStoreFault"))
                      : nullptr;
}

std::vector<std::string> StoreFaults() {
    std::vector<std::string> lines;
    for (int store : kStores) {
        AddFault(VelmoraStoreFault, store, &lines);
        AddFault(moduleFault, store, &lines);
    }
    return lines;
}

void SayStoreFaultsIfAny() {
    for (const std::string& line : StoreFaults()) {
        std::fprintf(stderr, "velmora: %s\n", line.c_str());
    }
}

int SayStoreFault() {
    if (StoreFaults().empty()) {
        std::fputs("velmora: the store cannot be read or written\n", stderr);
    }
    SayStoreFaultsIfAny();
    return kExitStoreFailed;
}
