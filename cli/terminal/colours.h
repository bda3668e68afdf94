// The colours of each piece of the screen, in the host's classic look (cyan on blue panels, grey
// dialogs, a black and cyan key bar), chosen so that every text stands out from its background
// by at least the 4.5:1 contrast that WCAG AA asks of text on the 16 standard colours.
#pragma once

#include "screen.h"

// The eight standard colours, by their ANSI numbers (which are also curses' COLOR_*).
enum StandardColour { kBlack, kRed, kGreen, kYellow, kBlue, kMagenta, kCyan, kWhite };

struct Colours {
    Paint paint;
    StandardColour foreground;
    StandardColour background;
    // Bold text is drawn in the foreground's bright variant by most terminals.
    bool bold;
};

inline constexpr Colours kColours[] = {
    {Paint::kPanel, kCyan, kBlue, true},
    {Paint::kPanelFrame, kCyan, kBlue, true},
    {Paint::kPanelTitle, kBlack, kCyan, false},
    {Paint::kPanelCursor, kBlack, kCyan, false},
    {Paint::kPanelSelected, kYellow, kBlue, true},
    {Paint::kPanelSelectedCursor, kYellow, kBlack, true},
    {Paint::kPanelHidden, kCyan, kBlue, false},
    {Paint::kPanelFilter, kWhite, kBlue, true},
    {Paint::kStatus, kWhite, kBlack, false},
    {Paint::kKeyNumber, kWhite, kBlack, false},
    {Paint::kKeyLabel, kBlack, kCyan, false},
    {Paint::kDialog, kBlack, kWhite, false},
    {Paint::kDialogHotkey, kBlue, kWhite, false},
    {Paint::kDialogFocus, kBlack, kCyan, false},
    {Paint::kEdit, kBlack, kCyan, false},
    {Paint::kMenu, kBlack, kCyan, false},
    {Paint::kMenuCursor, kWhite, kBlack, true},
};
