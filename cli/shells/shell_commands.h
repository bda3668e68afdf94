// What the shell command named after the prefix would take the place of: the commands the shells
// have of their own, and the programs on the PATH. A prefix is judged by them where it is chosen,
// in the settings dialog and by an import; the scripts check it again in the shell that loads them.
#pragma once

#include <string>

// Whether `word` is a builtin or a reserved word of bash, zsh, fish, dash, ksh or busybox sh.
bool IsShellCommand(const std::string& word);

// The program of that name the shell would find on $PATH, or empty.
std::string ProgramOnPath(const std::string& name);

struct PrefixVerdict {
    // The prefix cannot be taken; otherwise a `problem` is a doubt the user may overrule.
    bool refused = false;
    // What is wrong or doubtful, as a clause that names the prefix ("ls is also the program
    // /usr/bin/ls, ..."); empty for a prefix that is taken without a word.
    std::string problem;
};

// What becomes of `prefix` chosen as the name of the shell's command, in the settings dialog or by
// an import: refused when a shell cannot take it as a name or it is a command of the shell itself
// (cd), doubtful when it is a program's name (ls), which the command would hide.
PrefixVerdict JudgeChosenPrefix(const std::string& prefix);
