// The store's faults as the program says them.
#include "store_fault.h"

#include <cstdio>

#include "exit_status.h"
#include "store_faults.h"

std::vector<std::string> StoreFaults() {
    std::vector<std::string> lines;
    for (int store : {kVelmoraPersistentStore, kVelmoraVolatileStore}) {
        char text[4096 + 256];
        if (VelmoraStoreFault(store, text, sizeof text) != kStoreFaultNone) {
            lines.push_back(text);
        }
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
