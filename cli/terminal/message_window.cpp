// Message boxes: the first line is the title, the others are shown centred, and the buttons
// are OK, OK and Cancel, or the module's own last lines, as the flags say. A line wider than the
// screen is wrapped and a text taller than it scrolls, so that nothing of it is out of reach.
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
    // The body's lines on the screen at once, from `first` on.
    int shown = 0;
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
    int most = std::max(10, terminal.Cols() - 10);
    int inner = DisplayWidth(layout.title, utf8) + 2;
    std::vector<std::string> body;
    for (const std::string& line : layout.body) {
        for (const std::string& part : WrapToWidth(line, most, utf8)) {
            body.push_back(part);
            inner = std::max(inner, DisplayWidth(part, utf8));
        }
    }
    layout.body = body;
    for (const HotkeyText& button : layout.buttons) {
        layout.buttonsWidth += DisplayWidth(ButtonText(button), utf8) + 1;
    }
    layout.inner = std::min(std::max(inner, layout.buttonsWidth), most);
    // A blank column and the frame on each side, and a blank inside the frame.
    layout.width = layout.inner + 8;
    // The frame, a blank row above it and below it, and the buttons' row.
    int room = std::max(1, terminal.Rows() - 5);
    layout.shown = std::min(static_cast<int>(layout.body.size()), room);
    layout.height = layout.shown + 5;
    return layout;
}

void DrawMessage(Terminal& terminal, const MessageLayout& layout, int focus, int first) {
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
    for (int row = 0; row < layout.shown; ++row) {
        const std::string& line = layout.body[first + row];
        int lineWidth = std::min(DisplayWidth(line, utf8), inner);
        terminal.Put(place.top + 2 + row, place.left + 4 + (inner - lineWidth) / 2, line, lineWidth,
                     Paint::kDialog);
    }
    // Arrows on the frame say that the text goes on above or below.
    int right = place.left + width - 3;
    if (first > 0) {
        terminal.Put(place.top + 2, right, utf8 ? "\xe2\x86\x91" : "^", 1, Paint::kDialog);
    }
    if (first + layout.shown < static_cast<int>(layout.body.size())) {
        terminal.Put(place.top + 1 + layout.shown, right, utf8 ? "\xe2\x86\x93" : "v", 1,
                     Paint::kDialog);
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

// Moves the first line shown for a scrolling key; false for any other key.
bool Scrolled(const MessageLayout& layout, int& first, const Key& key) {
    int last = static_cast<int>(layout.body.size()) - layout.shown;
    if (last <= 0) {
        return false;
    }
    if (key.Is(kKeyUp)) {
        first -= 1;
    } else if (key.Is(kKeyDown)) {
        first += 1;
    } else if (key.Is(kKeyPageUp)) {
        first -= layout.shown;
    } else if (key.Is(kKeyPageDown)) {
        first += layout.shown;
    } else if (key.Is(kKeyHome)) {
        first = 0;
    } else if (key.Is(kKeyEnd)) {
        first = last;
    } else {
        return false;
    }
    first = std::clamp(first, 0, last);
    return true;
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
    int focus = 0, first = 0;
    MessageLayout layout;
    return RunModal(
        terminal, backdrop,
        [&] {
            // Laid out again at every round, so that a window resized meanwhile fits.
            layout = LayOut(call, terminal);
            first = std::clamp(first, 0,
                               std::max(0, static_cast<int>(layout.body.size()) - layout.shown));
            DrawMessage(terminal, layout, focus, first);
            return CursorPlace();
        },
        [&](const Key& key) -> std::optional<int> {
            if (Scrolled(layout, first, key)) {
                return std::nullopt;
            }
            return MessageKey(layout, focus, key);
        });
}
