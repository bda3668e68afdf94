// The store's faults as the program says them.
#include "store_fault.h"

#include "exit_status.h"
#include "store_faults.h"
#include "visible_text.h"

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
        Say(line);
    }
}

int SayStoreFault() {
    if (StoreFaults().empty()) {
        Say("your names could not be read or changed");
    }
    SayStoreFaultsIfAny();
    return kExitStoreFailed;
}

void SayStoreNotices() {
    char text[4096 + 256];
    while (VelmoraTakeStoreNotice(text, sizeof text) != 0) {
        Say(text);
    }
}
