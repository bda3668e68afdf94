// Menus: one line per item, the cursor on the first item the module marked selected, moved with
// the cursor keys (wrapping round when the menu asks for it), Enter to choose, Esc to cancel.
#include <algorithm>
#include <string>

#include "abi/plugin_abi.h"
#include "modal_windows.h"

namespace {

class MenuRun {
  public:
    MenuRun(Terminal& terminal, const MenuCall& call)
        : terminal_(terminal),
          call_(call),
          count_(static_cast<int>(call.items.size())),
          wrap_((call.flags & FMENU_WRAPMODE) != 0) {
        for (int i = 0; i < count_; ++i) {
            if (call_.selected[i] != 0) {
                current_ = i;
                break;
            }
        }
    }

    // Laid out anew each round, so that the menu follows the terminal's size.
    CursorPlace Draw() {
        bool utf8 = terminal_.Utf8();
        int inner = DisplayWidth(call_.title, utf8) + 2;
        for (const std::string& item : call_.items) {
            inner = std::max(inner, DisplayWidth(item, utf8) + 2);
        }
        inner = std::min(std::max(inner, 20), std::max(10, terminal_.Cols() - 8));
        shown_ = std::max(1, std::min(count_, terminal_.Rows() - 6));
        int width = inner + 4;
        int height = shown_ + 2;
        if (current_ < first_) {
            first_ = current_;
        } else if (current_ >= first_ + shown_) {
            first_ = current_ - shown_ + 1;
        }
        WindowPlace place = CentredWindow(terminal_, width, height);
        terminal_.Frame(place.top, place.left, place.top + height - 1, place.left + width - 1,
                        Paint::kMenu, true);
        if (!call_.title.empty()) {
            PutCentredTitle(terminal_, place.top, place.left, width, call_.title, inner,
                            Paint::kMenu);
        }
        for (int row = 0; row < shown_; ++row) {
            int index = first_ + row;
            Paint paint = index == current_ ? Paint::kMenuCursor : Paint::kMenu;
            terminal_.Put(place.top + 1 + row, place.left + 1, " " + call_.items[index], inner + 2,
                          paint, true);
        }
        return CursorPlace();
    }

    std::optional<int> OnKey(const Key& key) {
        if (key.Is(kKeyEnter)) {
            return current_;
        }
        if (key.Is(kKeyDown)) {
            current_ = current_ + 1 < count_ ? current_ + 1 : (wrap_ ? 0 : current_);
        } else if (key.Is(kKeyUp)) {
            current_ = current_ > 0 ? current_ - 1 : (wrap_ ? count_ - 1 : current_);
        } else if (key.Is(kKeyHome) || key.Is(kKeyPageUp)) {
            current_ = key.code == kKeyHome ? 0 : std::max(0, current_ - shown_);
        } else if (key.Is(kKeyEnd) || key.Is(kKeyPageDown)) {
            current_ = key.code == kKeyEnd ? count_ - 1 : std::min(count_ - 1, current_ + shown_);
        }
        return std::nullopt;
    }

  private:
    Terminal& terminal_;
    const MenuCall& call_;
    int count_;
    bool wrap_;
    int current_ = 0;
    // The first item shown, and how many fit.
    int first_ = 0;
    int shown_ = 1;
};

}  // namespace

int RunMenu(Terminal& terminal, const MenuCall& call, const Backdrop& backdrop) {
    if (call.items.empty()) {
        return -1;
    }
    MenuRun menu(terminal, call);
    return RunModal(
        terminal, backdrop, [&] { return menu.Draw(); },
        [&](const Key& key) { return menu.OnKey(key); });
}
