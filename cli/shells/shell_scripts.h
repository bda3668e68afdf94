// The shells' scripts, kept as files of their own in this folder (velmora.bash, completion.fish,
// ...) and built into the program, and what the program puts above them: the values they read,
// as assignments each shell reads as data whatever bytes a value holds.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "embedded_text.h"
#include "shell_init.h"

// Written by cmake/embed_texts.cmake from the files named in CMakeLists.txt.
extern const EmbeddedText kShellScripts[];
extern const int kShellScriptsCount;

// The script file of that name, as it is in this folder.
std::string ShellScriptFile(const std::string& name);

// Assignments of the values to the variables named, for `shell`: in fish each a list, global
// unless `local`, in the other shells each value one word.
using ScriptValues = std::vector<std::pair<std::string, std::vector<std::string>>>;
std::string ScriptAssignments(Shell shell, const ScriptValues& values, bool local = false);
