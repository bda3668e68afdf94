// Questions on the terminal. Each opens the screen itself when the panel has not, so that a
// command line such as `velmora pr` shows its completion menu and then gives the terminal back.
#include "terminal_front_end.h"

#include <algorithm>
#include <string>
#include <vector>

#include "abi/plugin_abi.h"
#include "visible_text.h"

namespace {

// A question as one line: its text lines behind the title.
std::string QuestionLine(const MessageCall& call) {
    std::string line;
    for (size_t i = 1; i < call.lines.size(); ++i) {
        line += (i > 1 ? " " : "") + call.lines[i];
    }
    return line;
}

bool IsBox(const DialogField& item) {
    return item.type == DI_DOUBLEBOX;
}

// Hides the items whose text is one of `texts`, and moves up what stands below a row that is
// left empty by them, the frame's bottom and the dialog's height with it.
void LeaveOutItems(DialogCall& call, const std::vector<std::string>& texts) {
    std::vector<int> emptied;
    for (DialogField& item : call.items) {
        if (std::find(texts.begin(), texts.end(), item.text) != texts.end()) {
            item.flags |= DIF_HIDDEN;
            emptied.push_back(item.y1);
        }
    }
    for (const DialogField& item : call.items) {
        if ((item.flags & DIF_HIDDEN) == 0 && !IsBox(item)) {
            emptied.erase(std::remove(emptied.begin(), emptied.end(), item.y1), emptied.end());
        }
    }
    std::sort(emptied.begin(), emptied.end());
    emptied.erase(std::unique(emptied.begin(), emptied.end()), emptied.end());
    auto above = [&emptied](int y) {
        return static_cast<int>(std::lower_bound(emptied.begin(), emptied.end(), y) -
                                emptied.begin());
    };
    for (DialogField& item : call.items) {
        if (IsBox(item)) {
            item.y2 -= above(item.y2);
        }
        item.y1 -= above(item.y1);
    }
    call.height -= static_cast<int>(emptied.size());
}

}  // namespace

bool TerminalFrontEnd::Reach(const std::string& question, const char* instead) {
    openedHere_ = false;
    if (terminal_.IsOpen()) {
        return true;
    }
    std::string error;
    if (!terminal_.Open(&error)) {
        Say("cannot " + question + ": " + error + "; " + instead);
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
    std::string choices;
    for (const std::string& item : call.items) {
        choices += (choices.empty() ? "" : ", ") + StripHotkey(item).text;
    }
    if (!Reach("offer " + choices + " to choose from", "type more of the name")) {
        return -1;
    }
    int choice = RunMenu(terminal_, call, !openedHere_ ? backdrop_ : nullptr);
    Release();
    return choice;
}

int TerminalFrontEnd::Dialog(DialogCall& call) {
    std::string title = call.items.empty() ? "" : StripHotkey(call.items.front().text).text;
    if (!Reach("show the dialog " + title, "run the command in a terminal")) {
        return -1;
    }
    DialogCall shown = call;
    LeaveOutItems(shown, leftOut_);
    int result = RunDialog(terminal_, shown, !openedHere_ ? backdrop_ : nullptr);
    for (size_t i = 0; i < call.items.size(); ++i) {
        call.items[i].text = shown.items[i].text;
        call.items[i].selected = shown.items[i].selected;
    }
    Release();
    return result;
}

int TerminalFrontEnd::Message(const MessageCall& call) {
    bool asks = (call.flags & FMSG_MB_OKCANCEL) != 0;
    if (!terminal_.IsOpen() && !asks) {
        // Nothing to answer: outside the panel the program says the box in its own words once
        // the call is done, from the host's record of it.
        return 0;
    }
    if (!Reach("ask \"" + QuestionLine(call) + "\"", "run the command in a terminal")) {
        return -1;
    }
    int button = RunMessage(terminal_, call, !openedHere_ ? backdrop_ : nullptr);
    Release();
    return button;
}
