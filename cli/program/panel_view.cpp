// The panel's screen and keys. Keys the module knows go to it through the host (ProcessKey);
// the cursor, the selection and leaving are the host's own. Terminals rarely tell Ctrl+Enter
// and Shift+Enter from Enter, or have F-keys with Shift, so each of those has a plain
// control-key stand-in (listed by F1 and in the README).
#include "panel_view.h"

#include <strings.h>

#include <algorithm>

#include "embedded_texts.h"
#include "file_browser.h"

namespace {

// Notes where the host's records stand before a key and reads what the key added to them; each
// record list only grows.
class CallWatch {
  public:
    explicit CallWatch(SimHost& host)
        : activePlugin_(host.Active().plugin),
          controls_(host.controls.size()),
          executed_(host.executed.size()) {}

    // The module asked the host to show a directory on the active panel, closing its own panel
    // (FCTL_CLOSEPLUGIN) or moving a file panel (FCTL_SETPANELDIR, far2l's way): a jump.
    bool Jumped(const SimHost& host) const {
        for (size_t i = controls_; i < host.controls.size(); ++i) {
            const ControlCall& call = host.controls[i];
            bool onActive = call.handle == INVALID_HANDLE_VALUE ||
                            (activePlugin_ != nullptr && call.handle == activePlugin_);
            bool shows = call.command == FCTL_CLOSEPLUGIN || call.command == FCTL_SETPANELDIR;
            if (shows && onActive) {
                return true;
            }
        }
        return false;
    }

    // The first command line the host ran for another plugin, or empty.
    std::string Executed(const SimHost& host) const {
        return executed_ < host.executed.size() ? host.executed[executed_] : "";
    }

  private:
    HANDLE activePlugin_;
    size_t controls_, executed_;
};

// The host's own labels; the module's labels replace them where it sets a non-empty one.
const char* const kHostLabels[12] = {"Help",   "",       "", "Edit", "", "",
                                     "MkFold", "Delete", "", "Quit", "", ""};

// The keys' box: a line for each key, from the list that the documents show too.
std::vector<std::string> HelpLines() {
    std::vector<std::pair<std::string, std::string>> keys;
    std::string list(kPanelKeys[0].bytes, kPanelKeys[0].size);
    size_t keyWidth = 0;
    for (size_t start = 0; start < list.size();) {
        size_t end = list.find('\n', start);
        end = end == std::string::npos ? list.size() : end;
        std::string line = list.substr(start, end - start);
        start = end + 1;
        size_t tab = line.find('\t');
        if (tab != std::string::npos) {
            keys.emplace_back(line.substr(0, tab), line.substr(tab + 1));
            keyWidth = std::max(keyWidth, tab);
        }
    }
    std::vector<std::string> lines = {"Keys"};
    for (const auto& [key, what] : keys) {
        lines.push_back(key + std::string(keyWidth + 2 - key.size(), ' ') + what);
    }
    lines.push_back("~ marks a temporary name, / a filter, * a selected item");
    return lines;
}

bool IsFilter(const SimItem& item) {
    return (item.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsHidden(const SimItem& item) {
    return (item.attributes & FILE_ATTRIBUTE_HIDDEN) != 0;
}

std::string ShownName(const SimItem& item) {
    return IsFilter(item) ? item.name + "/" : item.name;
}

unsigned int ControlStateOf(const Key& key) {
    return (key.mods & kModCtrl ? PKF_CONTROL : 0) | (key.mods & kModAlt ? PKF_ALT : 0) |
           (key.mods & kModShift ? PKF_SHIFT : 0);
}

}  // namespace

PanelView::PanelView(SimHost& host, Terminal& terminal, TerminalFrontEnd& frontEnd)
    : host_(host), terminal_(terminal), frontEnd_(frontEnd) {
    frontEnd_.SetBackdrop([this] { Draw(); });
}

PanelView::~PanelView() {
    frontEnd_.SetBackdrop(nullptr);
}

void PanelView::Arrange() {
    const std::vector<SimItem>& items = host_.Active().items;
    order_.assign(1, 0);
    for (size_t i = 0; i < items.size(); ++i) {
        order_.push_back(static_cast<int>(i) + 1);
    }
    // The host's default order: folders first, then by name without regard to case.
    std::stable_sort(order_.begin() + 1, order_.end(), [&items](int a, int b) {
        const SimItem& left = items[a - 1];
        const SimItem& right = items[b - 1];
        if (IsFilter(left) != IsFilter(right)) {
            return IsFilter(left);
        }
        return strcasecmp(left.name.c_str(), right.name.c_str()) < 0;
    });
}

int PanelView::CursorRow() const {
    auto found = std::find(order_.begin(), order_.end(), host_.Active().currentItem);
    return found == order_.end() ? 0 : static_cast<int>(found - order_.begin());
}

void PanelView::MoveCursor(int row) {
    row = std::clamp(row, 0, static_cast<int>(order_.size()) - 1);
    host_.Active().currentItem = order_[row];
}

std::string PanelView::CurrentName() {
    SimPanel& panel = host_.Active();
    int position = panel.currentItem;
    return position > 0 && position <= static_cast<int>(panel.items.size())
               ? panel.items[position - 1].name
               : "..";
}

void PanelView::ToggleSelection() {
    std::vector<int>& selection = host_.Active().selection;
    int position = host_.Active().currentItem;
    if (position > 0) {
        auto found = std::find(selection.begin(), selection.end(), position);
        if (found != selection.end()) {
            selection.erase(found);
        } else {
            selection.push_back(position);
        }
    }
    MoveCursor(CursorRow() + 1);
}

void PanelView::Draw() {
    int rows = terminal_.Rows();
    int cols = terminal_.Cols();
    terminal_.Clear(Paint::kPanel);
    if (rows < 6 || cols < 24) {
        terminal_.Put(0, 0, "The terminal is too small", cols, Paint::kPanel);
        terminal_.Flush();
        return;
    }
    Arrange();
    DrawItems(rows - 3, cols);
    DrawStatusAndKeyBar(rows, cols);
    terminal_.HideCursor();
    terminal_.Flush();
}

void PanelView::DrawItems(int bottom, int cols) {
    const SimPanel& panel = host_.Active();
    bool utf8 = terminal_.Utf8();
    int listRows = bottom - 1;
    int nameWidth = 10;
    for (const SimItem& item : panel.items) {
        nameWidth = std::max(nameWidth, DisplayWidth(ShownName(item), utf8));
    }
    // Two columns for the marks in front of the name; the paths get at least half the width.
    nameWidth = std::min(nameWidth + 2, (cols - 3) / 2);
    int divider = 1 + nameWidth;
    terminal_.Frame(0, 0, bottom, cols - 1, Paint::kPanelFrame, false);
    terminal_.Divider(0, bottom, divider, Paint::kPanelFrame);

    int cursorRow = CursorRow();
    if (cursorRow < firstRow_) {
        firstRow_ = cursorRow;
    } else if (cursorRow >= firstRow_ + listRows) {
        firstRow_ = cursorRow - listRows + 1;
    }
    firstRow_ = std::max(0, std::min(firstRow_, static_cast<int>(order_.size()) - listRows));
    for (int row = 0; row < listRows && firstRow_ + row < static_cast<int>(order_.size()); ++row) {
        int position = order_[firstRow_ + row];
        bool selected = std::find(panel.selection.begin(), panel.selection.end(), position) !=
                        panel.selection.end();
        bool cursor = firstRow_ + row == cursorRow;
        std::string name = "..", description;
        Paint paint = Paint::kPanel;
        std::string marks = "  ";
        if (position > 0) {
            const SimItem& item = panel.items[position - 1];
            name = ShownName(item);
            description = item.description;
            paint = IsHidden(item) ? Paint::kPanelHidden
                                   : (IsFilter(item) ? Paint::kPanelFilter : Paint::kPanel);
            marks[0] = selected ? '*' : ' ';
            marks[1] = IsHidden(item) ? '~' : ' ';
        }
        if (selected) {
            paint = cursor ? Paint::kPanelSelectedCursor : Paint::kPanelSelected;
        } else if (cursor) {
            paint = Paint::kPanelCursor;
        }
        terminal_.Put(1 + row, 1, marks + name, nameWidth, paint, true);
        // A path is cut in its middle, where paths below one folder read alike.
        int descriptionWidth = cols - divider - 2;
        terminal_.Put(1 + row, divider + 1, CutInMiddle(description, descriptionWidth, utf8),
                      descriptionWidth, paint, true);
    }

    if (panel.items.empty()) {
        static const char* const kEmpty[] = {"Nothing stored here yet.",
                                             "Ctrl+N (or Shift+F4) stores a name for a directory,",
                                             "F7 a filter; F1 lists every key."};
        for (int row = 0; row < 3 && 2 + row < bottom; ++row) {
            terminal_.Put(2 + row, 2, kEmpty[row], cols - 4, Paint::kPanel, true);
        }
    }

    // The module's title begins with a blank of its own.
    std::string title = panel.title;
    if (!title.empty() && title[0] == ' ') {
        title.erase(0, 1);
    }
    title = " " + title + " ";
    int titleWidth = std::min(DisplayWidth(title, utf8), cols - 4);
    terminal_.Put(0, (cols - titleWidth) / 2, title, titleWidth, Paint::kPanelTitle);
    // Like the host, the bottom line names the item under the cursor, however long.
    std::string current = " " + CurrentName() + " ";
    terminal_.Put(bottom, 2, current, std::min(DisplayWidth(current, utf8), cols - 4),
                  Paint::kPanelFrame);
}

void PanelView::DrawStatusAndKeyBar(int rows, int cols) {
    const SimPanel& panel = host_.Active();
    // The keys to add a name and to see all keys stay at the right, the note or the current
    // directory (cut in its middle) take the rest.
    const std::string keys = "  Ctrl+N Add  F1 Help";
    bool utf8 = terminal_.Utf8();
    int keysWidth = std::min(DisplayWidth(keys, utf8), cols);
    std::string status = note_.empty() ? "Here: " + panel.curDir : note_;
    terminal_.Put(rows - 2, 0, CutInMiddle(status, cols - keysWidth, utf8), cols - keysWidth,
                  Paint::kStatus, true);
    terminal_.Put(rows - 2, cols - keysWidth, keys, keysWidth, Paint::kStatus);

    int slots = cols >= 12 * 7 ? 12 : 10;
    int slotWidth = cols / slots;
    for (int n = 1; n <= slots; ++n) {
        std::string label = kHostLabels[n - 1];
        if (n <= static_cast<int>(panel.keyBar.size()) && !panel.keyBar[n - 1].empty()) {
            label = panel.keyBar[n - 1];
        }
        std::string number = std::to_string(n);
        int numberWidth = static_cast<int>(number.size());
        int x = (n - 1) * slotWidth;
        int width = n == slots ? cols - x : slotWidth;
        terminal_.Put(rows - 1, x, number, numberWidth, Paint::kKeyNumber);
        terminal_.Put(rows - 1, x + numberWidth, label, width - numberWidth, Paint::kKeyLabel,
                      true);
    }
}

bool PanelView::Press(int key, unsigned int controlState) {
    SimPanel& panel = host_.Active();
    std::string cursorName = CurrentName();
    std::string title = panel.title;
    CallWatch watch(host_);
    host_.PressKey(key, controlState);
    note_.clear();
    if (watch.Jumped(host_)) {
        outcome_ = {Outcome::kDirectory, host_.Active().curDir};
        return true;
    }
    std::string executed = watch.Executed(host_);
    if (!executed.empty()) {
        outcome_ = {Outcome::kCommand, executed};
        return true;
    }
    if (host_.Active().plugin == nullptr) {
        outcome_ = {Outcome::kDone, ""};
        return true;
    }
    // The host keeps the cursor on the same name across an update; after entering or leaving
    // a filter it goes back to the filter it came from, or to the top.
    Arrange();
    if (host_.Active().title != title) {
        if (!host_.MoveCursorTo(cameFrom_)) {
            host_.Active().currentItem = 0;
        }
        cameFrom_ = cursorName;
    } else {
        host_.MoveCursorTo(cursorName);
    }
    return false;
}

bool PanelView::OpenInFileBrowser() {
    SimPanel& panel = host_.Active();
    int position = panel.currentItem;
    bool name = position > 0 && position <= static_cast<int>(panel.items.size()) &&
                !IsFilter(panel.items[position - 1]);
    // The module would go to the name instead, as the file manager does.
    if (name && !VelmoraFileBrowserFound()) {
        note_ = std::string("No file browser found (") + VelmoraFileBrowser() +
                "): install xdg-utils, or set VELMORA_FILE_BROWSER";
        return false;
    }
    return Press(KEY_RETURN, PKF_SHIFT);
}

void PanelView::ShowHelp() {
    MessageCall call;
    call.flags = FMSG_MB_OK;
    call.lines = HelpLines();
    // Message boxes centre their lines; lines of one width stay aligned as a table.
    size_t width = 0;
    for (size_t i = 1; i < call.lines.size(); ++i) {
        width = std::max(width, call.lines[i].size());
    }
    for (size_t i = 1; i < call.lines.size(); ++i) {
        call.lines[i].resize(width, ' ');
    }
    RunMessage(terminal_, call, [this] { Draw(); });
}

Outcome PanelView::Run() {
    outcome_ = {Outcome::kDone, ""};
    for (;;) {
        if (host_.Active().plugin == nullptr) {
            return outcome_;
        }
        Draw();
        Key key = terminal_.ReadKey();
        // Alt and a digit stand for the F-keys, for terminals that have none.
        if (key.mods == kModAlt && key.code >= '0' && key.code <= '9') {
            key = {FunctionKey(key.code == '0' ? 10 : key.code - '0'), 0};
        }
        int rows = std::max(1, terminal_.Rows() - 4);
        int row = CursorRow();
        bool ends = false;
        if (key.Is(kKeyEscape) || key.Is(FunctionKey(10)) || key.Is('c', kModCtrl)) {
            host_.ClosePanel(host_.Active());
            return {Outcome::kDone, ""};
        } else if (key.Is(kKeyUp)) {
            MoveCursor(row - 1);
        } else if (key.Is(kKeyDown)) {
            MoveCursor(row + 1);
        } else if (key.Is(kKeyPageUp)) {
            MoveCursor(row - rows);
        } else if (key.Is(kKeyPageDown)) {
            MoveCursor(row + rows);
        } else if (key.Is(kKeyHome)) {
            MoveCursor(0);
        } else if (key.Is(kKeyEnd)) {
            MoveCursor(static_cast<int>(order_.size()) - 1);
        } else if (key.Is(kKeyInsert) || key.Is(' ')) {
            ToggleSelection();
        } else if (key.Is(FunctionKey(1))) {
            ShowHelp();
        } else if (key.Is(kKeyEnter, kModCtrl) || key.Is('j', kModCtrl)) {
            // The file manager's other panel; a shell has one directory.
            note_ = "A shell has no other panel: Enter goes to the name";
        } else if (key.Is(kKeyEnter, kModShift) || key.Is('o', kModCtrl)) {
            ends = OpenInFileBrowser();
        } else if (key.code == kKeyEnter) {
            ends = Press(KEY_RETURN, ControlStateOf(key));
        } else if (key.Is('n', kModCtrl)) {
            ends = Press(KEY_F4, PKF_SHIFT);
        } else if (key.Is('r', kModCtrl)) {
            ends = Press(KEY_R, PKF_CONTROL);
        } else if (key.code >= FunctionKey(1) && key.code <= FunctionKey(12)) {
            // Windows' virtual-key codes: F1 is 0x70.
            ends = Press(0x70 + key.code - FunctionKey(1), ControlStateOf(key));
        }
        if (ends) {
            return outcome_;
        }
    }
}
