// The system's loader as the host uses it to load a module: a library by its path, and a symbol
// of it by its plain name. Each system has a source of its own (loaded_library_posix.cpp,
// loaded_library_windows.cpp), which the build picks.
#pragma once

#include <string>

// The library at `path`, or null with the system's reason in `error`.
void* OpenLibrary(const std::string& path, std::string* error);
// The address of `name` in `library`, or null when it exports no such symbol.
void* FindExport(void* library, const char* name);
void CloseLibrary(void* library);
