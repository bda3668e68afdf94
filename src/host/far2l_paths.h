// Paths as far2l takes them. The module joins a name's target and the rest typed behind it with
// a backslash, as the Windows host wants; far2l, and the velmora program that shows what far2l
// would show, want '/'.
#pragma once

#include <string>

// `path` with its backslashes made '/'. A backslash is an ordinary character in a Linux file
// name, so a path that names a directory as it stands is left alone.
std::string Far2lPath(const char* path);
