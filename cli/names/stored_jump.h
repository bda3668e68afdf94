// A jump to a stored directory, a jump to a name stored nowhere, and a path typed for a jump,
// answered from the store without the module. Most starts of the program are such jumps, and the
// module would answer them with the same look-ups; starting it, with its language files and the
// stand-in host, would cost the jump more than the look-ups do. Every other text goes to the
// module.
#pragma once

#include <string>

// The name a jump to `text`, as typed behind the prefix, looks up: the text up to its first
// separator.
std::string JumpName(const std::string& text);
// True with the directory when `text`, as typed behind the prefix, is a stored name (or a name,
// a separator and a rest) whose target is a directory, and the store said no fault.
bool StoredDirectory(const std::string& text, std::string* directory);
// What the program says of a delete of `name`, which is stored nowhere.
std::string NoName(const std::string& name);
// What the program says of a jump to `text` that found no name: the name it looked up, or, where
// the shell's words around a name were meant as a name and a folder below it ("proj /src", "proj
// src"), how to type that.
std::string MissedJump(const std::string& text);
// True with what the miss says (MissedJump) when `text` is a jump to a name that is not stored,
// that completes to no stored name and names no filter, and the module would say only that: the
// miss the module would report, and the store said no fault.
bool StoredNowhere(const std::string& text, std::string* said);
// True with the directory to go to when `text` begins with '/', '~' or '.', is the path of an
// existing directory (a leading ~ standing for the home folder), and does not begin with a name
// that is stored: a shell user types `cd: ..` or `cd: /etc` as with cd. The directory is given as
// cd takes it, a relative one beginning with ./ or ../ so that cd never looks it up in CDPATH.
bool TypedDirectory(const std::string& text, std::string* directory);
