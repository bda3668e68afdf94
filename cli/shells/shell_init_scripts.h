// The script of each family of shells behind ShellInitScript, one file each, and the warnings
// they share so that every shell tells the user the same.
#pragma once

#include <string>

#include "shell_init.h"

// Printed when the prefix is a command of the shell itself and was left alone.
std::string BuiltinPrefixWarning(const std::string& prefix);

// Printed when the prefix cannot name the command; `problem` says why.
std::string RefusedPrefixWarning(const std::string& prefix, const std::string& problem);

// `text` as one single-quoted fish word: inside single quotes fish reads \' and \\ as escapes.
std::string FishQuote(const std::string& text);

std::string BashZshScript(Shell shell, const std::string& program, const std::string& prefix);
std::string FishScript(const std::string& program, const std::string& prefix);
std::string PosixScript(const std::string& program, const std::string& prefix);

// The function _velmora_complete that offers the stored names, for the prefix's command and for
// the completion files of the velmora command.
std::string BashNameCompletion();
std::string ZshNameCompletion();
std::string FishNameCompletion();
