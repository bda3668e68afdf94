// The host's command line: a text typed behind the prefix carried out as the host shows it. The
// command itself is the module's (name_commands.h); here its result becomes what the host sees:
// the active panel moved or a command typed, boxes, the code the entry point reports.
#pragma once

#include "store/text_buffer.h"

// A filter whose name is the whole text of a command that was not carried out: the host opens a
// panel on it instead of reporting the command's code.
struct NamedFilter {
    bool found = false;
    TextBuffer pattern;
};

// 0 when the command was carried out, else the failure code; `filter`, when given, says whether
// the text of a command not carried out names a filter. A look-up of the filter that fails
// leaves as a thrown code, which the entry point reports.
int ProcessCommandLine(const char* text, NamedFilter* filter = nullptr);
