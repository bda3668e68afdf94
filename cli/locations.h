// Where the velmora program finds the module and its language files: an environment variable
// first, then beside the program or in an installed tree, then the build it was built in.
#pragma once

#include <string>

// The module's path: $VELMORA_MODULE, else Velmora.so beside the program, else
// ../lib/velmora/Velmora.so from the program's folder, else the module of the build.
std::string ModulePath();

// The language file for $VELMORA_LANGUAGE (by the identifier of its ".Language=" line,
// "English" when unset) in $VELMORA_LNG_DIR, else ../share/velmora from the program's folder,
// else the source tree's lng folder. Empty when none is found; `searched` names the folder.
std::string LanguageFilePath(std::string* searched);

// The screen library (velmora-curses.so): beside the program, else in ../lib/velmora from the
// program's folder, else the one of the build.
std::string ScreenLibraryPath();

// The velmora program's own path, for the shell integration to call it by.
std::string ProgramPath();
