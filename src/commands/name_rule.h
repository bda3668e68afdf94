// The names an add may store: those a jump from the command line can reach again, and tell from
// every other. The dispatcher reads a text that begins with '+', ':' or '-' as an add or a
// delete, and a jump ends the name at its first '/' or '\', so a name holding either could only
// be reached from the panel. A '?' or '*' matches other names in a completion, and '?' is what the
// Windows hosts hand over for a letter their code page lacks: two names of such letters would
// arrive as one. Every add applies the rule, on the command line and in the dialogs that name a
// name or a filter.
#pragma once

// 0 when `name`, as it is stored (an add's name after its split at a plugin-command colon), can
// be reached from the command line, else the code that says why not: ErrEmptyName for the empty
// name (or null), which is a key's default value rather than a name; ErrNameWithSeparator for a
// name that holds '/' or '\'; ErrNameBeginsWithCommand for one that begins with '+', ':' or '-';
// ErrNameWithWildcard for one that holds '?' or '*'.
int CheckName(const char* name);
