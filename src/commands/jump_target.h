// Where a jump behind the prefix leads: the rules of the look-up, which the command line follows,
// and which a program that answers a jump from the store itself follows through these same
// functions rather than a copy of them.
#pragma once

#include "../store/text_buffer.h"

// `name` gets the text up to its first '/' or '\', `rest` everything behind it. Without a
// separator `rest` is left untouched, so a caller can tell "proj" from "proj/" by whether `rest`
// was ever assigned.
void SplitName(const char* text, TextBuffer& name, TextBuffer& rest);
// The first '/' or '\' in `text`, where a jump ends the name; null when there is none. A name
// that holds one could never be jumped to, and the host would show only what follows the last.
const char* FirstSeparator(const char* text);
// 1 with the target of a jump to `text`, 0 when it leads nowhere, kCompletionCancelled when the
// user cancelled the menu of names. The name (SplitName) is looked up among the temporary names
// first, then the permanent ones; when it is stored in neither and `complete` is set, it is
// completed from the permanent names, through the host's menu when several begin with it. A rest is
// joined to the target with the host's `separator`, unless the target ends in one ("/" and "etc"
// make "/etc"). Whether the target is a directory or a command for another plugin
// (PluginCommandPos) is the caller's to tell.
int JumpTarget(const char* text, char separator, bool complete, TextBuffer& target);
