// What a name's target may be. Stored, it is a whole path from the root or a command for another
// plugin; carried to a panel, a directory goes to the host only as a path it takes whole, and a
// command is typed into the host's command line only as one plain word that does not lead back
// to this module, whose prefix would run it again without end.
#pragma once

#include <cstddef>

#include "abi/plugin_abi.h"

// The longest path the host takes whole: its panel field, less the terminating zero. Far 3's
// wrapper cuts a longer one there (measured), and the panel then shows another folder.
constexpr size_t kLongestHostPath = sizeof(PanelInfo::CurDir) - 1;

// Whether `text` begins with the module's prefix, or with one of the prefixes it holds, letters
// in any case, as the host reads its command line: typed there, it would come back here.
bool ClaimedByPrefix(const char* text);
// Whether `path` holds '?' or '*' where no path of the host can (past a leading "\\?\" or
// "\\.\"), so that the host would take it for a pattern.
bool HoldsWildcard(const char* path);
// 0 when `target` may be stored as a name's target, else the message that refuses it.
int StoredTargetRefusal(const char* target);
// 0 when `command` may be typed into the host's command line (and the prefix after it, for the
// other panel), else the message that refuses it, with `named` set to the text at fault.
int TypingRefusal(const char* command, bool otherPanel, const char** named);
// 0 when `dir` may be handed to the host as a directory to show, else the message: it holds a
// wildcard, or a character the host's code page lacks, or is longer than the host takes whole.
int DirectoryRefusal(const char* dir);
// 0 when `target` may be carried to a panel (this one, or the other): a command for another
// plugin as TypingRefusal says, a directory as DirectoryRefusal says; else the message, with
// `named` set to the text at fault.
int CarryRefusal(const char* target, bool otherPanel, const char** named);
