// The table of names and filters for people, which `velmora list`, `check` and `prune` show. It
// shows what it is given: the entries, and what their judge found of the names' directories.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "store_sections.h"

// Names sorted, then filters: name, target or pattern, and a note ("temporary", "command" for a
// command for the file manager, "filter", and what was found of the directory). `found` holds,
// for each entry in turn, what was found of its directory when it was judged ("gone",
// "unreachable", or empty when it is there); without it nothing is said of the directories. At a
// terminal every line fits its width: a cut text ends in a mark of the cut, and a narrow terminal
// leaves the directories out. Elsewhere the texts are written whole and separated by tabs.
// Control bytes are shown as \xHH either way, and piped a backslash as \\, so that a field read
// back gives the stored bytes.
void WriteTable(const std::vector<StoreEntry>& entries, const std::vector<std::string>& found);
// The same into `out`, for a terminal of `width` columns that takes UTF-8 when `utf8`; a width
// of 0 writes the fields whole for programs.
void WriteTable(const std::vector<StoreEntry>& entries, std::FILE* out, int width, bool utf8,
                const std::vector<std::string>& found = {});
