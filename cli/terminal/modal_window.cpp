// The loop and the drawing the menu, the dialog and the message box share; see modal_windows.h.
#include <algorithm>

#include "modal_windows.h"

int RunModal(Terminal& terminal, const Backdrop& backdrop, const std::function<CursorPlace()>& draw,
             const std::function<std::optional<int>(const Key&)>& onKey) {
    for (;;) {
        if (backdrop) {
            backdrop();
        } else {
            terminal.Clear(Paint::kStatus);
        }
        CursorPlace cursor = draw();
        if (cursor.y >= 0) {
            terminal.ShowCursor(cursor.y, cursor.x);
        } else {
            terminal.HideCursor();
        }
        terminal.Flush();

        Key key = terminal.ReadKey();
        if (key.Is(kKeyEscape) || key.Is(FunctionKey(10)) || key.Is('c', kModCtrl)) {
            return -1;
        }
        if (std::optional<int> answer = onKey(key)) {
            return *answer;
        }
    }
}

void FillWindow(Terminal& terminal, const WindowPlace& place, int width, int height, Paint paint) {
    for (int y = 0; y < height; ++y) {
        terminal.Put(place.top + y, place.left, "", width, paint, true);
    }
}

void PutCentredTitle(Terminal& terminal, int y, int left, int width, const std::string& title,
                     int most, Paint paint) {
    std::string shown = " " + title + " ";
    int shownWidth = std::min(DisplayWidth(shown, terminal.Utf8()), most);
    terminal.Put(y, left + (width - shownWidth) / 2, shown, shownWidth, paint);
}
