// `velmora list`: the names and filters as a table for people, and the table itself, which
// `velmora check` and `velmora prune` show too.
#pragma once

#include <string>
#include <vector>

#include "direct_store.h"

// Names sorted, then filters: name, target or pattern, and a note ("temporary", "command" for a
// command for the file manager, "gone", "unreachable", "filter"). At a terminal the columns fit its
// width; elsewhere the texts are written whole and separated by tabs. Control bytes are shown as
// \xHH either way, and piped a backslash as \\, so that a field read back gives the stored bytes.
void WriteTable(const std::vector<StoreEntry>& entries);

int RunList();
