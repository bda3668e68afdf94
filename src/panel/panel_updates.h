// Showing a change of the store on the module's other panels: a panel shown beside the one that
// changed the store, or beside the command line, would keep its old list until re-read.
#pragma once

#include "abi/plugin_abi.h"

// Has the host show a change of the store on the module's panels it shows: beside panel `from`,
// or on both sides when `from` is INVALID_HANDLE_VALUE (a command typed in the command line). A
// panel the host shows is the module's when it lists the items of one of the living panels;
// that panel's list is built anew, then the host updates and redraws it.
void ShowStoreChange(HANDLE from);
