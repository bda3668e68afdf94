// The store's failures as the program says them.
#include "store_fault.h"

#include <cstdio>

#include "exit_status.h"

int SayStoreFault() {
    std::fputs("velmora: the store cannot be read or written\n", stderr);
    return kExitStoreFailed;
}
