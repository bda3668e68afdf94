// The lines of a message box as far2l can show them. far2l cuts each line of a box at the
// screen's width less the box's frame and margins, so a long line (a store file's path and what
// to do about it) would lose its end; here such a line becomes several that fit.
#pragma once

#include <string>
#include <vector>

// Columns a line of far2l's message box takes beside its text (measured: 106 of 120, 66 of 80).
constexpr int kFar2lBoxFrame = 14;

// `lines` (the first is the title) with every line after the title split into pieces of at
// most `screenWidth` less kFar2lBoxFrame characters, each ending behind the last blank or '/'
// that lets it fit and leaves it at least half full, where it has one. The pieces of a line
// joined give the line again. A screenWidth of 0 (not known) leaves every line as it is.
std::vector<std::string> FitBoxLines(const char* const* lines, int count, int screenWidth);
