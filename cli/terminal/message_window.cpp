// Message boxes: the first line is the title, the others are shown centred, and the buttons
// are OK, OK and Cancel, or the module's own last lines, as the flags say.
#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "abi/plugin_abi.h"
#include "modal_windows.h"

namespace {

struct MessageLayout {
    std::string title;
    std::vector<std::string> body;
    std::vector<HotkeyText> buttons;
    // The columns inside the frame, the buttons' row and the whole window.
    int inner = 0;
    int buttonsWidth = -1;
    int width = 0;
    int height = 0;
};

// A button as the host draws it: the caption between brackets and blanks.
std::string ButtonText(const HotkeyText& caption) {
    return "[ " + caption.text + " ]";
}

// The title, the body and the button captions of the call, as the flags say.
void SplitLines(const MessageCall& call, MessageLayout& layout) {
    std::vector<std::string> lines = call.lines;
    if (!lines.empty()) {
        layout.title = lines.front();
        lines.erase(lines.begin());
    }
    std::vector<std::string> captions;
    if (call.flags & FMSG_MB_OKCANCEL) {
        captions = {"&OK", "&Cancel"};
    } else if ((call.flags & FMSG_MB_OK) || call.buttons <= 0) {
        captions = {"&OK"};
    } else {
        size_t own = std::min(static_cast<size_t>(call.buttons), lines.size());
        captions.assign(lines.end() - own, lines.end());
        lines.resize(lines.size() - own);
    }
    layout.body = lines;
    for (const std::string& caption : captions) {
        layout.buttons.push_back(StripHotkey(caption));
    }
}

MessageLayout LayOut(const MessageCall& call, const Terminal& terminal) {
    MessageLayout layout;
    SplitLines(call, layout);
    bool utf8 = terminal.Utf8();
    int inner = DisplayWidth(layout.title, utf8) + 2;
    for (const std::string& line : layout.body) {
        inner = std::max(inner, DisplayWidth(line, utf8));
    }
    for (const HotkeyText& button : layout.buttons) {
        layout.buttonsWidth += DisplayWidth(ButtonText(button), utf8) + 1;
    }
    layout.inner =
        std::min(std::max(inner, layout.buttonsWidth), std::max(10, terminal.Cols() - 10));
    // A blank column and the frame on each side, and a blank inside the frame.
    layout.width = layout.inner + 8;
    layout.height = static_cast<int>(layout.body.size()) + 5;
    return layout;
}

void DrawMessage(Terminal& terminal, const MessageLayout& layout, int focus) {
    bool utf8 = terminal.Utf8();
    int width = layout.width, height = layout.height, inner = layout.inner;
    WindowPlace place = CentredWindow(terminal, width, height);
    FillWindow(terminal, place, width, height, Paint::kDialog);
    terminal.Frame(place.top + 1, place.left + 2, place.top + height - 2, place.left + width - 3,
                   Paint::kDialog, false);
    if (!layout.title.empty()) {
        PutCentredTitle(terminal, place.top + 1, place.left, width, layout.title, inner,
                        Paint::kDialog);
    }
    for (size_t i = 0; i < layout.body.size(); ++i) {
        int lineWidth = std::min(DisplayWidth(layout.body[i], utf8), inner);
        terminal.Put(place.top + 2 + static_cast<int>(i), place.left + 4 + (inner - lineWidth) / 2,
                     layout.body[i], lineWidth, Paint::kDialog);
    }
    int x = place.left + (width - layout.buttonsWidth) / 2;
    int y = place.top + height - 3;
    for (size_t i = 0; i < layout.buttons.size(); ++i) {
        HotkeyText shown = layout.buttons[i];
        shown.text = ButtonText(shown);
        shown.hotkeyOffset += shown.hotkeyOffset >= 0 ? 2 : 0;
        int buttonWidth = DisplayWidth(shown.text, utf8);
        Paint paint = static_cast<int>(i) == focus ? Paint::kDialogFocus : Paint::kDialog;
        terminal.PutHotkey(y, x, shown, buttonWidth, paint, Paint::kDialogHotkey);
        x += buttonWidth + 1;
    }
}

// The pressed button for `key`, or none with the focus moved.
std::optional<int> MessageKey(const MessageLayout& layout, int& focus, const Key& key) {
    int count = static_cast<int>(layout.buttons.size());
    if (key.Is(kKeyEnter) || key.Is(' ')) {
        return focus;
    }
    if (key.Is(kKeyTab) || key.Is(kKeyRight) || key.Is(kKeyDown)) {
        focus = (focus + 1) % count;
    } else if (key.Is(kKeyTab, kModShift) || key.Is(kKeyLeft) || key.Is(kKeyUp)) {
        focus = (focus + count - 1) % count;
    } else if (key.code > ' ' && key.code < 128 && (key.mods & ~kModAlt) == 0) {
        // A button's hotkey presses it, with or without Alt, as in the host.
        char letter = static_cast<char>(std::tolower(key.code));
        for (int i = 0; i < count; ++i) {
            if (layout.buttons[i].hotkey == letter) {
                return i;
            }
        }
    }
    return std::nullopt;
}

}  // namespace

int RunMessage(Terminal& terminal, const MessageCall& call, const Backdrop& backdrop) {
    MessageLayout layout = LayOut(call, terminal);
    int focus = 0;
    return RunModal(
        terminal, backdrop,
        [&] {
            DrawMessage(terminal, layout, focus);
            return CursorPlace();
        },
        [&](const Key& key) { return MessageKey(layout, focus, key); });
}
