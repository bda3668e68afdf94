// What the scenarios expect of the host they run in. The same scenarios run against the module
// built in the Windows host's 1.70 layout and against its far2l build; each test program links
// the one source that describes its host (scenario_host_far.cpp, scenario_host_far2l.cpp), so
// that a test states a difference between the hosts through these names, not by asking which.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "sim_host.h"

// Sets the stand-in host's ways to those of the host described here.
void DescribeHost(SimHost& host);

// Whether the host is far2l, where a difference is one of kind rather than of value: the few
// scenarios that mean nothing there skip themselves with the reason, and a check far2l answers
// otherwise (its store's own account of a fault; a path that may hold '?') says so beside it.
extern const bool kFar2lHost;

// A path the tests write as the Windows hosts do ("C:\\work\\src"), as this host writes it: as it
// is on the Windows hosts; in far2l, which has no drives and separates with '/', the drive is a
// folder below the root ("/C/work/src").
std::string HostPath(const std::string& windowsPath);

// A letter beyond ASCII as the host hands texts over: a byte of the ANSI code page on the
// Windows hosts, UTF-8 in far2l.
extern const char kLetterBeyondAscii[];

// The keys the module posts to type `text` into the host's command line: its bytes on the
// Windows hosts. far2l drops posted bytes from 0x80 up, so there a text holding any is set into
// the command line whole, and no key types it.
std::vector<DWORD> TypedKeys(const std::string& text);

// The panel commands a jump sends, from the module's panel and from a file panel (the command
// line's jumps). The 1.70 host moves either with FCTL_CLOSEPLUGIN; far2l ignores that on a file
// panel, so there the module asks which kind the panel is, and moves a file panel with
// FCTL_SETPANELDIR and redraws it.
extern const std::vector<int> kModulePanelJump;
extern const std::vector<int> kFilePanelJump;

// What GetMinFarVersion answers so that the host loads the module.
extern const int kAcceptedMinFarVersion;

// The key the host passes for a double click on an item.
extern const int kDoubleClickKey;

// Where the host reads a panel item's fields, by byte offset in its own layout of the item.
struct HostItemLayout {
    size_t size;
    size_t name;
    size_t description;
    size_t attributes;
};
extern const HostItemLayout kHostItem;
