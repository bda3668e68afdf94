// Where the velmora program finds what it reads at run time: language files that take the place
// of its own texts. Only beside the program itself, in the installed tree relative to it, or
// where the user's environment says: never a path of the build, which may be anyone's folder
// later.
#pragma once

#include <string>
#include <vector>

// The language files of the first folder that holds any: $VELMORA_LNG_DIR, else the program's
// own folder, else ../lib/far2l/Plugins/velmora/plug/ from it (where the package puts them for
// far2l). The texts of a program and of the module beside it must be of one version, so files of
// two folders are never mixed. None when no folder holds any.
std::vector<std::string> LanguageFiles();

// The velmora program's own path, for the shell integration to call it by.
std::string ProgramPath();
