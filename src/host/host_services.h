// HostServices: the module's copies of the host's service tables. Every call into the host goes
// through them, with the module number where the service takes one, and with the fixed
// arguments the module always passes (centred windows, no help topics).
#pragma once

#include "abi/plugin_abi.h"

struct HostServices {
    PluginStartupInfo Info;
    FarStandardFunctions FSF;
    // The host's major version: 1 for the 1.70 host, or for a host that does not say.
    int Major;
    // What the host's paths put between a directory and a name below it: '\\' for the Windows
    // host; far2l's adaptation sets '/', since there a backslash is part of a file's name.
    char PathSeparator;
    // Whether the host says itself that it could not move a panel to a directory (far2l shows
    // an error box within the call), so that the module need not say it again.
    bool SaysFailedMoves;
    // Whether the host's texts are in an 8-bit code page of Windows, as the Windows hosts hand
    // them over: a character the page lacks arrives replaced ('?' or a look-alike letter), a
    // byte from 0x80 up is a letter, and no path holds '?' or '*'. far2l's adaptation clears it:
    // far2l hands over UTF-8 whole, and a Linux path may hold any byte but '/'.
    bool CodePageTexts;
    // The characters that the shell behind the host's command line reads as more than text:
    // cmd's for the Windows hosts, a POSIX shell's in far2l's adaptation. A plugin command is
    // typed into the command line only without them, blanks and control characters.
    const char* ShellSyntax;
    // Set by a host layer that can tell what the store's files went through (far2l's, over the
    // Linux store), for ReportError: shows the faults the store met during the current call,
    // whatever ShowErrors holds, and tells whether there were any. Null elsewhere.
    bool (*ShowStoreFaults)();
};

extern HostServices Host;

// Copies the host's tables and asks the host for its version; from then on every host call
// goes through the copies.
void CopyHostServices(const PluginStartupInfo* info);

// The text of a message; the empty text when the host has none.
const char* GetMsg(int id);
// A centred menu without title or help; the chosen index, or -1 when cancelled.
int HostMenu(const FarMenuItem* items, int count);
// A centred dialog of the given size; the index of the closing item, or -1 when cancelled.
int HostDialog(int width, int height, FarDialogItem* items, int count);
// A message box of `count` lines, the first being the title; the pressed button (0 is OK).
int HostMessage(DWORD flags, const char* const* lines, int count);
int HostControl(HANDLE panel, int command, void* param);
// Asks the host to describe a panel (FCTL_GETPANELINFO or FCTL_GETANOTHERPANELINFO) into a
// zero-filled record; false when it delivered nothing. CurDir is always terminated.
bool HostPanelInfo(HANDLE panel, int command, PanelInfo& info);
// Shows directory `dir` on the panel `panel` stands for (INVALID_HANDLE_VALUE: the active one),
// closing the module's panel there. False when the host could not move the panel there (a
// directory that does not exist) and said nothing of it; a host that closes a panel onto the
// directory says so itself, after the module returns.
bool HostShowDirectory(HANDLE panel, char* dir);
INT_PTR HostAdvControl(int command, void* param);
// Types `text` and Enter into the host's command line as a user would, each character as its 8-bit
// code: on the active panel, or with `backHere`, on the other panel (Tab first) and then Tab,
// `backHere` and Enter on this one. The host plays the keys once the module returns. False when
// the keys could not be had. Whether a text may be typed is the caller's to judge.
bool HostPostText(const char* text, const char* backHere);
// The record handed to the host for every post; refilled each time.
extern KeySequence PostedKeys;
// The host's wildcard match of `text` against `pattern`, paths included.
bool HostCmpName(const char* pattern, const char* text);
