// Texts written for a person, with their control bytes shown. A stored name, path or prefix may
// hold ESC or a C1 control, which a terminal would obey: move the cursor, retitle the window,
// or hide the rest of the line. Outputs that are data (the directory a jump prints for the
// shell, an export) are written byte for byte instead.
#pragma once

#include <string>

// `text` with each control byte written as \xHH: 0x00 to 0x1F and 0x7F; both bytes of a C1
// control written in UTF-8 (C2 80 to C2 9F); and a byte 0x80 to 0x9F that is no part of a
// UTF-8 character, a C1 control in 8-bit code pages. With `lossless` a backslash is written \\,
// so that the text can be read back byte for byte.
std::string VisibleText(const std::string& text, bool lossless = false);

// Writes "velmora: " and the message, its control bytes shown, as a line on standard error.
void Say(const std::string& message);
