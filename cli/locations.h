// Where the velmora program finds the module, its language files and the screen library: an
// environment variable first, then beside the program or in an installed tree, then the build
// it was built in.
#pragma once

#include <string>

// The far2l build of the module, whose records hold Linux paths whole: $VELMORA_MODULE, else
// Velmora.far-plug-mb beside the program, else ../lib/far2l/Plugins/velmora/plug/ from the
// program's folder (where the package puts it for far2l), else the one of the build.
std::string ModulePath();

// The language file for $VELMORA_LANGUAGE (by the identifier of its ".Language=" line,
// "English" when unset) in $VELMORA_LNG_DIR, else in the module's folder, where far2l reads
// them too. Empty when none is found; `searched` names the folder.
std::string LanguageFilePath(const std::string& modulePath, std::string* searched);

// The screen library (velmora-curses.so): beside the program, else in ../lib/velmora from the
// program's folder, else the one of the build.
std::string ScreenLibraryPath();

// The velmora program's own path, for the shell integration to call it by.
std::string ProgramPath();
