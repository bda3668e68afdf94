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

// The completion of the velmora command as `velmora init` holds it, so that Tab completes the
// commands without the package's files (bash reads its file only through the bash-completion
// package): the bash file's function _velmora_command and its `complete` line, the zsh file's
// body as the function _velmora_command with its compdef, the fish file's lines where fish finds
// no file.
std::string BashCommandCompletion();
std::string ZshCommandCompletion();
std::string FishCommandCompletion();
