// Menus: one line per item, the cursor on the first item the module marked selected, moved with
// the cursor keys (wrapping round when the menu asks for it), Enter to choose, Esc to cancel.
#include <algorithm>
#include <string>

#include "abi/plugin_abi.h"
#include "windows.h"

int RunMenu(Terminal& terminal, const MenuCall& call, const Backdrop& backdrop) {
    int count = static_cast<int>(call.items.size());
    if (count == 0) {
        return -1;
    }
    bool utf8 = terminal.Utf8();
    bool wrap = (call.flags & FMENU_WRAPMODE) != 0;
    int current = 0;
    for (int i = 0; i < count; ++i) {
        if (call.selected[i] != 0) {
            current = i;
            break;
        }
    }
    int first = 0;
    for (;;) {
        int inner = DisplayWidth(call.title, utf8) + 2;
        for (const std::string& item : call.items) {
            inner = std::max(inner, DisplayWidth(item, utf8) + 2);
        }
        inner = std::min(std::max(inner, 20), std::max(10, terminal.Cols() - 8));
        int shown = std::max(1, std::min(count, terminal.Rows() - 6));
        int width = inner + 4;
        int height = shown + 2;
        if (current < first) {
            first = current;
        } else if (current >= first + shown) {
            first = current - shown + 1;
        }

        if (backdrop) {
            backdrop();
        } else {
            terminal.Clear(Paint::kStatus);
        }
        WindowPlace place = CentredWindow(terminal, width, height);
        terminal.Frame(place.top, place.left, place.top + height - 1, place.left + width - 1,
                       Paint::kMenu, true);
        if (!call.title.empty()) {
            std::string title = " " + call.title + " ";
            int titleWidth = std::min(DisplayWidth(title, utf8), inner);
            terminal.Put(place.top, place.left + (width - titleWidth) / 2, title, titleWidth,
                         Paint::kMenu);
        }
        for (int row = 0; row < shown; ++row) {
            int index = first + row;
            Paint paint = index == current ? Paint::kMenuCursor : Paint::kMenu;
            terminal.Put(place.top + 1 + row, place.left + 1, " " + call.items[index], inner + 2,
                         paint, true);
        }
        terminal.HideCursor();
        terminal.Flush();

        Key key = terminal.ReadKey();
        if (key.Is(kKeyEscape) || key.Is(FunctionKey(10)) || key.Is('c', kModCtrl)) {
            return -1;
        }
        if (key.Is(kKeyEnter)) {
            return current;
        }
        if (key.Is(kKeyDown)) {
            current = current + 1 < count ? current + 1 : (wrap ? 0 : current);
        } else if (key.Is(kKeyUp)) {
            current = current > 0 ? current - 1 : (wrap ? count - 1 : current);
        } else if (key.Is(kKeyHome) || key.Is(kKeyPageUp)) {
            current = key.code == kKeyHome ? 0 : std::max(0, current - shown);
        } else if (key.Is(kKeyEnd) || key.Is(kKeyPageDown)) {
            current = key.code == kKeyEnd ? count - 1 : std::min(count - 1, current + shown);
        }
    }
}
