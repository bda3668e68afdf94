// The terminal's windows for the host's questions: a menu, a dialog and a message box, each
// drawn centred over what the backdrop draws (the panel, or nothing) and run until answered by
// one loop they share, which takes a window's draw step and key step.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "front_end.h"
#include "terminal.h"

using Backdrop = std::function<void()>;

// The chosen item's index, or -1 when cancelled.
int RunMenu(Terminal& terminal, const MenuCall& call, const Backdrop& backdrop);
// The index of the item that closed the dialog, or -1; the fields' texts and check states are
// edited in place.
int RunDialog(Terminal& terminal, DialogCall& call, const Backdrop& backdrop);
// The pressed button's index (0 is OK), or -1 when cancelled.
int RunMessage(Terminal& terminal, const MessageCall& call, const Backdrop& backdrop);

struct WindowPlace {
    int top = 0;
    int left = 0;
};

// Where a window of that size stands centred on the screen.
inline WindowPlace CentredWindow(const Terminal& terminal, int width, int height) {
    WindowPlace place;
    place.top = terminal.Rows() > height ? (terminal.Rows() - height) / 2 : 0;
    place.left = terminal.Cols() > width ? (terminal.Cols() - width) / 2 : 0;
    return place;
}

// Where a window leaves the terminal's cursor once drawn: at a field's row and column, or hidden
// when `y` is negative.
struct CursorPlace {
    int y = -1;
    int x = -1;
};

// The loop every window runs until it is answered. Each round draws the backdrop (a cleared
// screen when there is none), then the window with `draw`, and reads a key: Esc, F10 and Ctrl+C
// cancel with -1, as in the host; any other key goes to `onKey`, which gives the window's answer
// when the key closes it.
int RunModal(Terminal& terminal, const Backdrop& backdrop, const std::function<CursorPlace()>& draw,
             const std::function<std::optional<int>(const Key&)>& onKey);

// Blanks a window's rectangle in `paint`.
void FillWindow(Terminal& terminal, const WindowPlace& place, int width, int height, Paint paint);

// A title between blanks, centred on the `width` columns from `left` and cut to `most` columns.
void PutCentredTitle(Terminal& terminal, int y, int left, int width, const std::string& title,
                     int most, Paint paint);
