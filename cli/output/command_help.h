// The velmora program's help: the commands, each with its usage, a line on what it does and a few
// lines more, and the overview that opens with the shell's command. `velmora help`, every
// command's --help and fish's completion of the commands all read them from here, so that they
// never disagree.
#pragma once

#include <string>
#include <vector>

struct CommandHelp {
    // The command as typed: "list", "--prefix".
    const char* word;
    // What follows it on its usage line.
    const char* arguments;
    // What it does, in one line.
    const char* summary;
    // What `velmora help WORD` says besides; "{prefix}" stands for the shell's command.
    const char* details;
};

// Every command, in the order the overview lists them.
const std::vector<CommandHelp>& Commands();

// The command `word` names ("list", "--prefix", or "prefix" without its dashes); null for none.
const CommandHelp* FindCommand(const std::string& word);

// The help of one command; `prefix` is the name of the shell's command.
std::string CommandHelpText(const CommandHelp& command, const std::string& prefix);

// What `velmora --help` prints: the shell's command with each form of its text, then the
// commands and the exit statuses.
std::string OverviewHelpText(const std::string& prefix);
