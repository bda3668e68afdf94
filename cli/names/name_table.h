// `velmora list`: the names and filters as a table for people, and the table itself, which
// `velmora check` and `velmora prune` show too.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "direct_store.h"

// Names sorted, then filters: name, target or pattern, and a note ("temporary", "command" for a
// command for the file manager, "gone", "unreachable", "filter"). At a terminal every line fits
// its width: a cut text ends in a mark of the cut, and a narrow terminal leaves the directories
// out. Elsewhere the texts are written whole and separated by tabs. Control bytes are shown as
// \xHH either way, and piped a backslash as \\, so that a field read back gives the stored bytes.
void WriteTable(const std::vector<StoreEntry>& entries);
// The same into `out`, for a terminal of `width` columns that takes UTF-8 when `utf8`; a width
// of 0 writes the fields whole for programs.
void WriteTable(const std::vector<StoreEntry>& entries, std::FILE* out, int width, bool utf8);

int RunList();
