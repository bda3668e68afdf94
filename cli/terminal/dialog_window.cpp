// Dialogs: boxes, texts, edit fields, check boxes and buttons at the module's coordinates in a
// centred window. Tab and the cursor keys move between the items that take focus, Space
// toggles a check box, Alt and a hotkey letter go to the item it marks, Enter closes the
// dialog with the focused item (the host's rule when no item is the default button), Esc
// cancels. Hidden items are neither drawn nor reached.
#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "abi/plugin_abi.h"
#include "modal_windows.h"

namespace {

// An item's Data holds at most this many bytes before its terminator.
const size_t kMaxDialogText = 511;

struct EditState {
    size_t cursor = 0;  // byte offset in the text
    size_t scroll = 0;  // byte offset of the first byte shown
};

bool IsHidden(const DialogField& item) {
    return (item.flags & DIF_HIDDEN) != 0;
}

bool TakesFocus(const DialogField& item) {
    return !IsHidden(item) &&
           (item.type == DI_EDIT || item.type == DI_CHECKBOX || item.type == DI_BUTTON);
}

std::string Decorated(const DialogField& item) {
    if (item.type == DI_CHECKBOX) {
        return std::string(item.selected ? "[x] " : "[ ] ") + item.text;
    }
    if (item.type == DI_BUTTON) {
        return "[ " + item.text + " ]";
    }
    return item.text;
}

int FieldWidth(const DialogField& item, int dialogWidth) {
    int right = item.x2 >= item.x1 ? item.x2 : dialogWidth - 3;
    return std::max(1, right - item.x1 + 1);
}

class DialogRun {
  public:
    DialogRun(Terminal& terminal, DialogCall& call)
        : terminal_(terminal), call_(call), edits_(call.items.size()) {
        for (size_t i = 0; i < call_.items.size(); ++i) {
            edits_[i].cursor = call_.items[i].text.size();
        }
        focus_ = -1;
        for (size_t i = 0; i < call_.items.size() && focus_ < 0; ++i) {
            if (TakesFocus(call_.items[i]) && call_.items[i].focus != 0) {
                focus_ = static_cast<int>(i);
            }
        }
        if (focus_ < 0) {
            focus_ = Step(-1, 1);
        }
    }

    // The dialog's answer when `key` closes it.
    std::optional<int> OnKey(const Key& key) {
        if (focus_ < 0) {
            return std::nullopt;
        }
        DialogField& item = call_.items[focus_];
        if (key.Is(kKeyEnter)) {
            return focus_;
        }
        if (key.Is(kKeyTab) || key.Is(kKeyDown)) {
            focus_ = Step(focus_, 1);
        } else if (key.Is(kKeyTab, kModShift) || key.Is(kKeyUp)) {
            focus_ = Step(focus_, -1);
        } else if (key.mods == kModAlt && key.code > ' ' && key.code < 128) {
            int closed = Hotkey(static_cast<char>(std::tolower(key.code)));
            if (closed >= 0) {
                return closed;
            }
        } else if (item.type == DI_CHECKBOX && key.Is(' ')) {
            item.selected = item.selected ? 0 : 1;
        } else if (item.type == DI_BUTTON && key.Is(' ')) {
            return focus_;
        } else if (item.type == DI_EDIT) {
            Edit(item, edits_[focus_], key);
        }
        return std::nullopt;
    }

    CursorPlace Draw() {
        WindowPlace place = CentredWindow(terminal_, call_.width, call_.height);
        FillWindow(terminal_, place, call_.width, call_.height, Paint::kDialog);
        CursorPlace cursor;
        for (size_t i = 0; i < call_.items.size(); ++i) {
            if (!IsHidden(call_.items[i])) {
                DrawItem(place, i, cursor);
            }
        }
        return cursor;
    }

  private:
    // The next item that takes focus after `from` in `direction`, round the end.
    int Step(int from, int direction) const {
        int count = static_cast<int>(call_.items.size());
        for (int n = 1; n <= count; ++n) {
            int index = ((from + direction * n) % count + count) % count;
            if (TakesFocus(call_.items[index])) {
                return index;
            }
        }
        return -1;
    }

    // Goes to the item the hotkey marks; a button's index when the hotkey pressed it.
    int Hotkey(char letter) {
        for (size_t i = 0; i < call_.items.size(); ++i) {
            DialogField& item = call_.items[i];
            if (IsHidden(item) || StripHotkey(item.text).hotkey != letter) {
                continue;
            }
            int index = static_cast<int>(i);
            if (item.type == DI_BUTTON) {
                return index;
            }
            if (item.type == DI_CHECKBOX) {
                item.selected = item.selected ? 0 : 1;
                focus_ = index;
            } else if (item.type == DI_EDIT) {
                focus_ = index;
            } else {
                // A label's hotkey belongs to the field behind it.
                int next = Step(index, 1);
                focus_ = next >= 0 ? next : focus_;
            }
            return -1;
        }
        return -1;
    }

    void Edit(DialogField& item, EditState& state, const Key& key) {
        bool utf8 = terminal_.Utf8();
        std::string& text = item.text;
        state.cursor = std::min(state.cursor, text.size());
        if (key.Is(kKeyLeft)) {
            state.cursor = PreviousCharacter(text, state.cursor, utf8);
        } else if (key.Is(kKeyRight)) {
            state.cursor = NextCharacter(text, state.cursor, utf8);
        } else if (key.Is(kKeyHome) || key.Is('a', kModCtrl)) {
            state.cursor = 0;
        } else if (key.Is(kKeyEnd) || key.Is('e', kModCtrl)) {
            state.cursor = text.size();
        } else if (key.Is(kKeyBackspace)) {
            size_t start = PreviousCharacter(text, state.cursor, utf8);
            text.erase(start, state.cursor - start);
            state.cursor = start;
        } else if (key.Is(kKeyDelete)) {
            text.erase(state.cursor, NextCharacter(text, state.cursor, utf8) - state.cursor);
        } else if (key.Is('y', kModCtrl) || key.Is('u', kModCtrl)) {
            // Ctrl+Y empties the field in the host; Ctrl+U does in a shell.
            text.clear();
            state.cursor = 0;
            state.scroll = 0;
        } else if (key.mods == 0 && key.code >= ' ' && key.code < 256 && key.code != 127 &&
                   text.size() < kMaxDialogText) {
            text.insert(state.cursor, 1, static_cast<char>(key.code));
            ++state.cursor;
        }
    }

    // Draws item `i`; a focused edit field puts the cursor into `cursor`.
    void DrawItem(const WindowPlace& place, size_t i, CursorPlace& cursor) {
        const DialogField& item = call_.items[i];
        int y = place.top + item.y1;
        int x = place.left + item.x1;
        bool focused = static_cast<int>(i) == focus_;
        int room = call_.width - item.x1;
        switch (item.type) {
            case DI_DOUBLEBOX:
                terminal_.Frame(y, x, place.top + item.y2, place.left + item.x2, Paint::kDialog,
                                false);
                PutCentredTitle(terminal_, y, x, item.x2 - item.x1 + 1, item.text,
                                item.x2 - item.x1 - 1, Paint::kDialog);
                break;
            case DI_EDIT: {
                int width = FieldWidth(item, call_.width);
                EditState& state = edits_[i];
                KeepCursorShown(item.text, state, width);
                terminal_.Put(y, x, item.text.substr(state.scroll), width, Paint::kEdit, true);
                if (focused) {
                    std::string before =
                        item.text.substr(state.scroll, state.cursor - state.scroll);
                    cursor = {y, x + DisplayWidth(before, terminal_.Utf8())};
                }
                break;
            }
            case DI_CHECKBOX:
            case DI_BUTTON:
            case DI_TEXT: {
                HotkeyText shown = StripHotkey(Decorated(item));
                Paint paint = focused ? Paint::kDialogFocus : Paint::kDialog;
                terminal_.PutHotkey(y, x, shown, room, paint, Paint::kDialogHotkey);
                break;
            }
            default:
                terminal_.Put(y, x, item.text, room, Paint::kDialog);
                break;
        }
    }

    // Scrolls the field so that the cursor stands inside its `width` columns.
    void KeepCursorShown(const std::string& text, EditState& state, int width) const {
        bool utf8 = terminal_.Utf8();
        state.cursor = std::min(state.cursor, text.size());
        if (state.scroll > state.cursor) {
            state.scroll = state.cursor;
        }
        while (DisplayWidth(text.substr(state.scroll, state.cursor - state.scroll), utf8) >=
               width) {
            state.scroll = NextCharacter(text, state.scroll, utf8);
        }
    }

    Terminal& terminal_;
    DialogCall& call_;
    std::vector<EditState> edits_;
    int focus_ = -1;
};

}  // namespace

int RunDialog(Terminal& terminal, DialogCall& call, const Backdrop& backdrop) {
    DialogRun dialog(terminal, call);
    return RunModal(
        terminal, backdrop, [&] { return dialog.Draw(); },
        [&](const Key& key) { return dialog.OnKey(key); });
}
