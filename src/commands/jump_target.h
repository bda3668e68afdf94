// Where a jump behind the prefix leads: the rules of the look-up, which the command line follows,
// and which a program that reads the store itself follows through these same functions rather
// than a copy of them.
#pragma once

#include "store/text_buffer.h"

// `name` gets the text up to its first '/' or '\', `rest` everything behind it. Without a
// separator `rest` is left untouched, so a caller can tell "proj" from "proj/" by whether `rest`
// was ever assigned.
void SplitName(const char* text, TextBuffer& name, TextBuffer& rest);
// The first '/' or '\' in `text`, where a jump ends the name; null when there is none. A name
// that holds one could never be jumped to, and the host would show only what follows the last.
const char* FirstSeparator(const char* text);
// Joins a jump's rest to its target with the host's `separator`, when SplitName assigned one,
// unless the target ends in the separator ("/" and "etc" make "/etc"). Whether the target is a
// directory or a command for another plugin (PluginCommandPos) is the caller's to tell.
void JoinRest(TextBuffer& target, const TextBuffer& rest, char separator);
// 1 with the target of a jump to `text` whose name (SplitName) is stored, among the temporary
// names first, then the permanent ones, with its rest joined; 0 when the name is stored in
// neither. Nothing is completed: a jump from the command line may complete the name too
// (ResolveJump).
int JumpTarget(const char* text, char separator, TextBuffer& target);
