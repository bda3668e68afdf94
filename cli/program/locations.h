// Where the velmora program finds what it reads at run time: the module's language files. Only
// beside the program itself, in the installed tree relative to it, or where the user's
// environment says: never a path of the build, which may be anyone's folder later.
#pragma once

#include <string>

// The language file for $VELMORA_LANGUAGE (by the identifier of its ".Language=" line,
// "English" when unset) in $VELMORA_LNG_DIR, else beside the program (where the build puts
// them), else in ../lib/far2l/Plugins/velmora/plug/ from the program's folder (where the package
// puts them for far2l). Empty when none is found; `searched` names the folders.
std::string LanguageFilePath(std::string* searched);

// The velmora program's own path, for the shell integration to call it by.
std::string ProgramPath();
