// The name store: permanent names ("\Keys"), temporary names ("\TempKeys", a volatile key that
// does not outlive the logon) and filters ("\Filters") as text values below the root key.
// Each operation opens its sections and closes them before it returns; nothing is cached.
#pragma once

#include <cstdint>

#include "text_buffer.h"

extern const char kKeysSection[];
extern const char kTempKeysSection[];
extern const char kFiltersSection[];

// 1 with the target when the name is stored (temporary names first), else 0. Failures count
// as not found.
int LookupName(const char* name, TextBuffer& target);
// The same among the temporary names alone, or the permanent ones alone: a panel's entry names
// its section, since a temporary and a permanent name may share one name.
int LookupNameIn(const char* name, bool temporary, TextBuffer& target);
// 0 done, ErrEmptyName, or the failure code; a write the store refuses is ErrRegistry. The
// value written is the one AddedValueName and AddedTarget describe.
int AddName(const char* name, const char* path, bool permanent);
// The value name an add of `name` writes. A name with a plugin-command colon is split at its
// last colon and the part behind it is the name; null when that leaves the empty name, which
// is a key's default value rather than a name.
const char* AddedValueName(const char* name);
// The text an add of `name` stores for `path`: `path`, or for a name split at a plugin-command
// colon the part before that colon followed by `path`, built in `joined`.
const char* AddedTarget(const char* name, const char* path, TextBuffer& joined);
// 0 deleted, ErrNotFound, or the failure code; a delete the store refuses is ErrRegistry. Names
// go from "\Keys" first, then "\TempKeys".
int DeleteName(const char* name, bool filter);
// The same for a name from the temporary names alone, or the permanent ones alone.
int DeleteNameIn(const char* name, bool temporary);
// True with the pattern when the filter is stored; failures leave as thrown codes.
bool LookupFilter(const char* name, TextBuffer& pattern);
// Whether the filter, or the temporary or permanent name, is missing from its section: not
// merely unreadable, nor of another type. A section that cannot be opened leaves as a thrown
// code.
bool EntryGone(const char* name, bool filter, bool temporary);
// The index of the last colon when some colon stands at index 3 or later (a command for
// another plugin, such as "ftp:server"), else 0. A drive path's colon is at index 1, and a text
// that begins with "\\" is a server's share or a "\\?\" path; where paths begin with
// '/', a text that does is a path whatever colons it holds.
uint32_t PluginCommandPos(const char* text);
