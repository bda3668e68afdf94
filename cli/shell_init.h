// The shell integration that `velmora init bash` and `velmora init zsh` print: a function named
// after the module's prefix that runs velmora and changes the shell's directory, Tab completion
// of stored names, and a `velmora` wrapper that reloads all of it after the settings changed.
#pragma once

#include <string>

enum class Shell { kBash, kZsh };

// The shell of that name ("bash", "zsh"); false for any other.
bool ParseShell(const std::string& name, Shell* shell);

// Why `prefix` cannot be the name of the shell function, or the empty text when it can. Only
// names both shells take as they are, without quoting, pass: they are written into the script.
// Names the generated code uses itself are refused too.
std::string PrefixProblem(const std::string& prefix);

// `text` as one single-quoted shell word, whatever bytes it holds.
std::string ShellQuote(const std::string& text);

// The script for `shell`; `program` is the velmora program's path, `prefix` the current prefix.
std::string ShellInitScript(Shell shell, const std::string& program, const std::string& prefix);
