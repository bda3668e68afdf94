// `velmora --names`: every stored name and filter, each once, one per line, for the shells'
// completion. Written as the store is read, so a long list costs no memory for itself.
#pragma once

#include <cstdio>

// Filters, permanent names, then temporary names, in the store's order; a name stored in more
// than one section is written the first time only, and always on one line. False when the
// store failed.
bool WriteNames(std::FILE* out);
