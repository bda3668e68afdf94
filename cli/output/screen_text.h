// Laying out the module's 8-bit texts on a terminal: the host's '&' hotkey marks, the width a
// text takes, and cutting a text to a number of columns. Texts are shown as bytes; only in a
// UTF-8 terminal are several bytes one character, of the columns the locale gives it.
#pragma once

#include <string>
#include <vector>

// A text with its '&' marks taken out: '&' before a character makes that character the
// hotkey, and "&&" stands for one '&', as in the host's menus and dialogs.
struct HotkeyText {
    std::string text;
    int hotkeyOffset = -1;  // byte offset of the hotkey character in `text`, or -1
    char hotkey = 0;        // that character, lower-cased, or 0
};

HotkeyText StripHotkey(const std::string& text);

// Whether the user's locale says the terminal takes UTF-8. The locale is taken from the
// environment at the first call: a start that draws nothing and lays out no table, such as a
// jump, does not pay for reading the locale's files.
bool LocaleIsUtf8();

// Columns the text takes: its bytes, or in UTF-8 what the locale's wcwidth gives its
// characters (two for a CJK character, none for a combining accent).
int DisplayWidth(const std::string& text, bool utf8);

// The part of `text` that fits into `width` columns, with control characters replaced by '?'
// so that a stored name cannot move the cursor; padded with blanks to `width` when `pad`. A
// character of two columns that would stand across the edge is left out.
std::string FitToWidth(const std::string& text, int width, bool utf8, bool pad = false);
// The same without padding, but a text cut short ends in a mark of the cut ("…", or "..." in a
// terminal without UTF-8), so that two texts that differ only behind the cut never look alike.
std::string CutToWidth(const std::string& text, int width, bool utf8);
// The same for a path, cut in its middle: its beginning says where it lies and its end which
// folder it is, so that several paths below one long folder still read apart when cut.
std::string CutInMiddle(const std::string& text, int width, bool utf8);

// `text` in lines of at most `width` columns, broken at blanks where it can be; a word longer
// than a line is broken where the line ends. Nothing of the text is left out.
std::vector<std::string> WrapToWidth(const std::string& text, int width, bool utf8);

// Byte offset of the character before or after `offset` in `text`, keeping UTF-8 sequences
// whole when `utf8`.
size_t PreviousCharacter(const std::string& text, size_t offset, bool utf8);
size_t NextCharacter(const std::string& text, size_t offset, bool utf8);
