// Saying what is wrong with the store. The module says nothing of a store it cannot read unless
// its error messages are on; the program always says it, on standard error, with its own exit
// status, so that a broken store never looks like a name that is not stored.
#pragma once

// Says what is wrong and returns kExitStoreFailed.
int SayStoreFault();
