// The names listed: `velmora --names [PREFIX]`, every stored name and filter, or those that begin
// with a text, each once, one per line, for the shells' completion, written as the store is read
// so that a long list costs no memory for itself; and `velmora list`, the table for people.
#pragma once

#include <cstdio>
#include <string>

// What a line holds: the name alone, or the name, a tab and what a jump to it finds (its
// directory, the home folder written ~; a filter's pattern), as fish shows it beside the name.
// Beyond 1,000 permanent names to write, the names are written alone, as each directory costs a
// look-up and a list that long is more than a screen shows.
enum class NameLines { kNames, kWithDirectories };

// Filters, permanent names, then temporary names, in the store's order; a name stored in more
// than one section is written the first time only, and always on one line. False when the
// store failed.
bool WriteNames(std::FILE* out, NameLines lines = NameLines::kNames);
// The same for the names that begin with `prefix` (ASCII case ignored, as the store compares
// names), found through the store's name index and written in its order within each section:
// what a shell completes from a few typed letters, at the cost of the names that match. A prefix
// that holds a separator is the beginning of a jump's rest instead: `proj/sr` gives the folders
// of the directory a jump to `proj` reaches that begin with "sr", as `proj/src/`, so that a shell
// completes the rest as it completes a path (hidden folders only behind a typed '.').
bool WriteNamesBeginningWith(std::FILE* out, const std::string& prefix,
                             NameLines lines = NameLines::kNames);

// The names and filters as a table, each name with what was found of its directory; the exit
// status.
int RunList();
