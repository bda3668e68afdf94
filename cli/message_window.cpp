// Message boxes: the first line is the title, the others are shown centred, and the buttons
// are OK, OK and Cancel, or the module's own last lines, as the flags say.
#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "abi/plugin_abi.h"
#include "windows.h"

namespace {

struct MessageLayout {
    std::string title;
    std::vector<std::string> body;
    std::vector<HotkeyText> buttons;
};

MessageLayout LayOut(const MessageCall& call) {
    MessageLayout layout;
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
    return layout;
}

// A button as the host draws it: the caption between brackets and blanks.
std::string ButtonText(const HotkeyText& caption) {
    return "[ " + caption.text + " ]";
}

}  // namespace

int RunMessage(Terminal& terminal, const MessageCall& call, const Backdrop& backdrop) {
    MessageLayout layout = LayOut(call);
    bool utf8 = terminal.Utf8();
    int inner = DisplayWidth(layout.title, utf8) + 2;
    for (const std::string& line : layout.body) {
        inner = std::max(inner, DisplayWidth(line, utf8));
    }
    int buttonsWidth = -1;
    for (const HotkeyText& button : layout.buttons) {
        buttonsWidth += DisplayWidth(ButtonText(button), utf8) + 1;
    }
    inner = std::min(std::max(inner, buttonsWidth), std::max(10, terminal.Cols() - 10));
    // A blank column and the frame on each side, and a blank inside the frame.
    int width = inner + 8;
    int height = static_cast<int>(layout.body.size()) + 5;
    int focus = 0;
    for (;;) {
        if (backdrop) {
            backdrop();
        } else {
            terminal.Clear(Paint::kStatus);
        }
        WindowPlace place = CentredWindow(terminal, width, height);
        for (int y = 0; y < height; ++y) {
            terminal.Put(place.top + y, place.left, "", width, Paint::kDialog, true);
        }
        terminal.Frame(place.top + 1, place.left + 2, place.top + height - 2,
                       place.left + width - 3, Paint::kDialog, false);
        if (!layout.title.empty()) {
            std::string title = " " + layout.title + " ";
            int titleWidth = std::min(DisplayWidth(title, utf8), inner);
            terminal.Put(place.top + 1, place.left + (width - titleWidth) / 2, title, titleWidth,
                         Paint::kDialog);
        }
        for (size_t i = 0; i < layout.body.size(); ++i) {
            int lineWidth = std::min(DisplayWidth(layout.body[i], utf8), inner);
            terminal.Put(place.top + 2 + static_cast<int>(i),
                         place.left + 4 + (inner - lineWidth) / 2, layout.body[i], lineWidth,
                         Paint::kDialog);
        }
        int x = place.left + (width - buttonsWidth) / 2;
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
        terminal.HideCursor();
        terminal.Flush();

        Key key = terminal.ReadKey();
        int count = static_cast<int>(layout.buttons.size());
        if (key.Is(kKeyEscape) || key.Is(FunctionKey(10)) || key.Is('c', kModCtrl)) {
            return -1;
        }
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
    }
}
