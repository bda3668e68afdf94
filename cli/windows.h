// The terminal's windows for the host's questions: a menu, a dialog and a message box, each
// drawn centred over what the backdrop draws (the panel, or nothing) and run until answered.
#pragma once

#include <functional>

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
