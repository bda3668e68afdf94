// Names whose directory is gone or out of reach: `velmora check` lists them, `velmora prune`
// deletes the gone ones, and the unreachable ones only when told to. Targets that are commands
// for the file manager are never judged; check lists them, marked, and it lists the names only
// the panel reaches and those that look like another name as well.
#pragma once

#include <string>
#include <vector>

enum class TargetState {
    // There, or not judged: a command for the file manager, or a path that is not absolute.
    kPresent,
    // Known to be gone: it is missing or no directory, while its parent folder is there,
    // readable and holds something on the same file system.
    kGone,
    // Cannot be looked at now: a link that dangles, a parent folder that is missing or cannot
    // be read, or one that may be an unmounted or another file system's mount point.
    kUnreachable,
};

TargetState JudgeTarget(const std::string& target);
// What the table of names says of a directory judged `state`: "gone", "unreachable", or nothing.
std::string FoundNote(TargetState state);

struct PruneOptions {
    // Deletes without asking on the terminal.
    bool yes = false;
    // Deletes the names whose directory is out of reach too.
    bool unreachable = false;
};

// Takes the options of prune from the words behind "prune"; returns the words it does not know.
std::vector<std::string> TakePruneOptions(const std::vector<std::string>& words,
                                          PruneOptions* options);

// The names whose directory is not there, those no jump reaches (the panel does), and those that
// look like another name, status 1 when there are any; and those whose target is a command.
int RunCheck();
int RunPrune(const PruneOptions& options);
