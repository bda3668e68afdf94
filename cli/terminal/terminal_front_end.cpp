// Questions on the terminal. Each opens the screen itself when the panel has not, so that a
// command line such as `velmora pr` shows its completion menu and then gives the terminal back.
#include "terminal_front_end.h"

#include <cstdio>
#include <string>
#include <vector>

#include "abi/plugin_abi.h"
#include "store_fault.h"
#include "visible_text.h"

namespace {

// A message box as one line: its title, then its text lines.
std::string MessageLine(const MessageCall& call) {
    std::string line;
    for (const std::string& text : call.lines) {
        line += (line.empty() ? "" : ": ") + text;
    }
    return line;
}

}  // namespace

bool TerminalFrontEnd::Reach(const std::string& question) {
    openedHere_ = false;
    if (terminal_.IsOpen()) {
        return true;
    }
    std::string error;
    if (!terminal_.Open(&error)) {
        Say("cannot ask (" + error + "): " + question);
        return false;
    }
    openedHere_ = true;
    return true;
}

void TerminalFrontEnd::Release() {
    if (openedHere_) {
        terminal_.Close();
        openedHere_ = false;
    }
}

int TerminalFrontEnd::Menu(const MenuCall& call) {
    if (!Reach("a menu of " + std::to_string(call.items.size()) + " items")) {
        return -1;
    }
    int choice = RunMenu(terminal_, call, !openedHere_ ? backdrop_ : nullptr);
    Release();
    return choice;
}

int TerminalFrontEnd::Dialog(DialogCall& call) {
    std::string title = call.items.empty() ? "a dialog" : call.items.front().text;
    if (!Reach(title)) {
        return -1;
    }
    int result = RunDialog(terminal_, call, !openedHere_ ? backdrop_ : nullptr);
    Release();
    return result;
}

int TerminalFrontEnd::Message(const MessageCall& call) {
    bool asks = (call.flags & FMSG_MB_OKCANCEL) != 0;
    if (!terminal_.IsOpen() && !asks) {
        // Nothing to answer: outside the panel an error box is a line on standard error.
        if (!IsStoreFaultBox(call.lines)) {
            std::fprintf(stderr, "%s\n", VisibleText(MessageLine(call)).c_str());
        }
        return 0;
    }
    if (!Reach(MessageLine(call))) {
        return -1;
    }
    int button = RunMessage(terminal_, call, !openedHere_ ? backdrop_ : nullptr);
    Release();
    return button;
}
