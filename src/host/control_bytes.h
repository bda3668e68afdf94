// Control characters in texts shown to a person. A stored name, path or prefix may hold ESC or a
// C1 control, which a terminal would obey (move the cursor, retitle the window, hide the rest of
// the line) and a message box would not show; shown, each byte of one is written \xHH.
#pragma once

#include <string>

// Whether `text` holds a control character: a byte 0x00 to 0x1F or 0x7F, a C1 control written in
// UTF-8 (C2 80 to C2 9F), or a byte 0x80 to 0x9F that is no part of a UTF-8 character, a C1
// control in 8-bit code pages. With `codePage` the text is in a code page of the Windows hosts
// (OEM 437, 866, ...), where every byte from 0x80 up is a character: only 0x00 to 0x1F and 0x7F
// are controls there.
bool HoldsControl(const std::string& text, bool codePage = false);
// `text` with each byte of its control characters written as \xHH. With `lossless` a backslash
// is written \\, so that the text can be read back byte for byte; `codePage` as above.
std::string VisibleText(const std::string& text, bool lossless = false, bool codePage = false);
