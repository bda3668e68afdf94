// The completion of the velmora command itself for bash, zsh and fish (completion.bash,
// completion.zsh, completion.fish): its commands and options, the shells of `init`, files, and
// the stored names, which the prefix's command completes the same way. `velmora init` holds it,
// so that Tab completes the commands without the package's files; the package installs each in
// its shell's folder of completions.
#pragma once

#include <string>

#include "shell_init.h"

// The values the completion's script reads, for `shell` (bash, zsh or fish): the commands and
// options of command_help.h, in fish what each does, and the shells of init.
std::string CommandCompletionValues(Shell shell);

// The completion file for `shell` (bash, zsh or fish), as the package installs it.
std::string CommandCompletionFile(Shell shell);

// The name the shell looks the file up by: velmora, _velmora, velmora.fish.
std::string CommandCompletionFileName(Shell shell);
