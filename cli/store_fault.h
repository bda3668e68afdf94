// Saying what is wrong with the store. The module says nothing of a store it cannot read unless
// its error messages are on; the program always says it, on standard error, with its own exit
// status, so that a broken store never looks like a name that is not stored. Faults come from
// two records: the program's own registry stand-in (its direct reads) and the module's, which
// the loaded module exports.
#pragma once

#include <string>
#include <vector>

// Reads the module's record too, through the fault functions `module` (a dlopen handle)
// exports; none stops that before the module is unloaded.
void UseModuleFaults(void* module);
// One line for each store that failed since the program started, naming the file or folder
// and what is wrong; a fault both records hold is said once.
std::vector<std::string> StoreFaults();
// Says the faults (or that the store failed, when neither record says how) and returns
// kExitStoreFailed.
int SayStoreFault();
// Says the faults, if any, of a command that was done all the same (a jump to a permanent
// name while the temporary names cannot be read).
void SayStoreFaultsIfAny();
