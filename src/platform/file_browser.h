// The program that stands for the system's file browser on POSIX: xdg-open, or the one named by
// VELMORA_FILE_BROWSER. The module falls back to a jump when the browser does not start, which is
// right in a file manager; a program that offers to open a directory in the browser asks first
// so that it can say none was found. POSIX only: Windows always has its Explorer.
#pragma once

#ifndef _WIN32
// The browser's program, and whether it can be found to be started.
extern "C" __attribute__((visibility("default"))) const char* VelmoraFileBrowser(void);
extern "C" __attribute__((visibility("default"))) int VelmoraFileBrowserFound(void);
#endif
