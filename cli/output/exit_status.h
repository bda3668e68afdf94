// The velmora program's exit statuses. The shell function goes to the directory on kDone and
// shows the command on kCommand; scripts tell a broken store from a missing name by kStoreFailed.
#pragma once

const int kExitDone = 0;
// Not found, or not done.
const int kExitFailed = 1;
// The program cannot start, or was called wrongly.
const int kExitUsage = 2;
// The target is a command for the file manager; it is printed.
const int kExitCommand = 3;
const int kExitStoreFailed = 4;
