// The completion files of the velmora command itself for bash, zsh and fish, installed in each
// shell's folder of completions: its commands and options, the shells of `init`, files, and the
// stored names, which the prefix's command completes the same way.
#pragma once

#include <string>

#include "shell_init.h"

// The completion file for `shell` (bash, zsh or fish).
std::string CommandCompletionFile(Shell shell);

// The name the shell looks the file up by: velmora, _velmora, velmora.fish.
std::string CommandCompletionFileName(Shell shell);
