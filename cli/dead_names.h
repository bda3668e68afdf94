// Names whose directory is gone: `velmora check` lists them, `velmora prune` deletes them.
// Targets that are commands for the file manager are never judged.
#pragma once

#include <string>

// Whether the target's directory is known to be gone: it, or a folder on the way to it, does
// not exist or is not a directory. One that cannot be looked at (no permission) is not gone,
// nor is a command for the file manager (such as "ftp:server").
bool IsGone(const std::string& target);

int RunCheck();
// Asks first on the terminal unless `yes`.
int RunPrune(bool yes);
