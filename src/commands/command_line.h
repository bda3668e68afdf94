// The commands typed behind the prefix: "+name" and ":name" store the active panel's directory
// as a temporary or permanent name, "-name" deletes, anything else jumps to a name and an
// optional rest behind '/' or '\'.
#pragma once

#include "../store/text_buffer.h"

// 0 when the command was carried out, else the failure code.
int ProcessCommandLine(const char* text);
// `name` gets the text up to its first '/' or '\', `rest` everything behind it. Without a
// separator `rest` is left untouched, so a caller can tell "proj" from "proj/" by whether `rest`
// was ever assigned.
void SplitName(const char* text, TextBuffer& name, TextBuffer& rest);
// The first '/' or '\' in `text`, where a jump ends the name; null when there is none. A name
// that holds one could never be jumped to, and the host would show only what follows the last.
const char* FirstSeparator(const char* text);
