// Saying what is wrong with the store. The module says nothing of a store it cannot read unless
// its error messages are on; the program always says it, on standard error, with its own exit
// status, so that a broken store never looks like a name that is not stored. The program and the
// module linked into it share one registry stand-in, and so one record of its faults.
#pragma once

#include <string>
#include <vector>

// One line for each store that failed since the program started, naming the file or folder
// and what is wrong.
std::vector<std::string> StoreFaults();
// Says the faults (or that the store failed, when the record does not say how) and returns
// kExitStoreFailed.
int SayStoreFault();
// Says the faults, if any, of a command that was done all the same (a jump to a permanent
// name while the temporary names cannot be read).
void SayStoreFaultsIfAny();
// Says the notices about where the stores live (an environment variable ignored), each once.
void SayStoreNotices();
