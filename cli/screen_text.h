// Laying out the module's 8-bit texts on a terminal: the host's '&' hotkey marks, the width a
// text takes, and cutting a text to a number of columns. Texts are shown as bytes; only in a
// UTF-8 terminal do several bytes count as one column.
#pragma once

#include <string>

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

// Columns the text takes: its bytes, or in UTF-8 its characters.
int DisplayWidth(const std::string& text, bool utf8);

// The part of `text` that fits into `width` columns, with control characters replaced by '?'
// so that a stored name cannot move the cursor; padded with blanks to `width` when `pad`.
std::string FitToWidth(const std::string& text, int width, bool utf8, bool pad = false);

// Byte offset of the character before or after `offset` in `text`, keeping UTF-8 sequences
// whole when `utf8`.
size_t PreviousCharacter(const std::string& text, size_t offset, bool utf8);
size_t NextCharacter(const std::string& text, size_t offset, bool utf8);
