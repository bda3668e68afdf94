// A jump as the program says it beside the module's answer (name_commands.h): what a miss says,
// and a path typed for a jump.
#pragma once

#include <string>

// What the program says of a delete of `name`, which is stored nowhere.
std::string NoName(const std::string& name);
// What the program says of a jump to `text` that found no name: the name it looked up, or, where
// the shell's words around a name were meant as a name and a folder below it ("proj /src", "proj
// src"), how to type that.
std::string MissedJump(const std::string& text);
// True with the directory to go to when `text` begins with '/', '~' or '.' and is the path of an
// existing directory (a leading ~ standing for the home folder): a shell user types `cd: ..` or
// `cd: /etc` as with cd. Asked only of a text whose name is stored nowhere, since a name wins
// over a folder of its name. The directory is given as cd takes it, a relative one beginning with
// ./ or ../ so that cd never looks it up in CDPATH.
bool TypedDirectory(const std::string& text, std::string* directory);
