// The shell integration that `velmora init SHELL` prints for bash, zsh, fish and POSIX sh (dash,
// ksh, busybox): a command named after the module's prefix that runs velmora and changes the
// shell's directory, Tab completion of stored names where the shell completes, and a `velmora`
// wrapper that reloads all of it after the settings changed.
#pragma once

#include <string>
#include <vector>

enum class Shell { kBash, kZsh, kFish, kSh };

// The shell of that name ("bash", "zsh", "fish", "sh"); false for any other.
bool ParseShell(const std::string& name, Shell* shell);
// The names ParseShell takes, in that order.
std::vector<std::string> ShellNames();

// Why `prefix` cannot be the name of the shell command, or the empty text when it can. Only
// names that bash, zsh and fish take as a function name as they are, without quoting, and that
// POSIX shells take as an alias name, pass: the scripts name the command with it as it is. Names
// the scripts use themselves are refused too.
std::string PrefixProblem(const std::string& prefix);

// `text` as one single-quoted word of a POSIX shell, whatever bytes it holds.
std::string ShellQuote(const std::string& text);

// The script for `shell`; `program` is the velmora program's path, `prefix` the current prefix.
std::string ShellInitScript(Shell shell, const std::string& program, const std::string& prefix);
