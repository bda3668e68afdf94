// The ncurses screen. Keypad translation stays off: key_decoder reads the raw sequences, which
// keeps modifiers that terminfo does not describe. The screen lives on /dev/tty, not on the
// standard streams, because the shell function reads the program's standard output.
#include "terminal.h"

#include <curses.h>
#include <langinfo.h>

#include <cstdio>
#include <cstring>

namespace {

// How long the rest of an escape sequence may take to arrive after its Escape; a lone Escape
// is taken as the Escape key after this.
const int kSequenceWaitMs = 50;
// Failed reads in a row after which the terminal counts as gone (a signal may fail one).
const int kReadRetries = 100;

struct Colours {
    Paint paint;
    short foreground;
    short background;
    int extra;
    int monochrome;
};

// The host's classic look: cyan on blue panels, grey dialogs, a black and cyan key bar.
const Colours kColours[] = {
    {Paint::kPanel, COLOR_CYAN, COLOR_BLUE, A_BOLD, A_NORMAL},
    {Paint::kPanelFrame, COLOR_CYAN, COLOR_BLUE, A_BOLD, A_NORMAL},
    {Paint::kPanelTitle, COLOR_BLACK, COLOR_CYAN, A_NORMAL, A_REVERSE},
    {Paint::kPanelCursor, COLOR_BLACK, COLOR_CYAN, A_NORMAL, A_REVERSE},
    {Paint::kPanelSelected, COLOR_YELLOW, COLOR_BLUE, A_BOLD, A_BOLD},
    {Paint::kPanelSelectedCursor, COLOR_YELLOW, COLOR_CYAN, A_BOLD, A_REVERSE | A_BOLD},
    {Paint::kPanelHidden, COLOR_CYAN, COLOR_BLUE, A_NORMAL, A_DIM},
    {Paint::kPanelFilter, COLOR_WHITE, COLOR_BLUE, A_BOLD, A_BOLD},
    {Paint::kStatus, COLOR_WHITE, COLOR_BLACK, A_NORMAL, A_NORMAL},
    {Paint::kKeyNumber, COLOR_WHITE, COLOR_BLACK, A_NORMAL, A_NORMAL},
    {Paint::kKeyLabel, COLOR_BLACK, COLOR_CYAN, A_NORMAL, A_REVERSE},
    {Paint::kDialog, COLOR_BLACK, COLOR_WHITE, A_NORMAL, A_NORMAL},
    {Paint::kDialogHotkey, COLOR_YELLOW, COLOR_WHITE, A_BOLD, A_UNDERLINE},
    {Paint::kDialogFocus, COLOR_BLACK, COLOR_CYAN, A_NORMAL, A_REVERSE},
    {Paint::kEdit, COLOR_BLACK, COLOR_CYAN, A_NORMAL, A_UNDERLINE},
    {Paint::kMenu, COLOR_WHITE, COLOR_CYAN, A_BOLD, A_NORMAL},
    {Paint::kMenuCursor, COLOR_WHITE, COLOR_BLACK, A_BOLD, A_REVERSE},
};

}  // namespace

struct Terminal::ScreenHandle {
    SCREEN* screen = nullptr;
    FILE* input = nullptr;
    FILE* output = nullptr;
};

Terminal::~Terminal() {
    Close();
}

bool Terminal::Open(std::string* error) {
    if (screen_ != nullptr) {
        return true;
    }
    auto* handle = new ScreenHandle;
    handle->input = std::fopen("/dev/tty", "re");
    handle->output = handle->input != nullptr ? std::fopen("/dev/tty", "we") : nullptr;
    if (handle->output != nullptr) {
        handle->screen = newterm(nullptr, handle->output, handle->input);
    }
    if (handle->screen == nullptr) {
        *error = handle->input == nullptr ? "there is no terminal (/dev/tty cannot be opened)"
                                          : "the terminal type is unknown (TERM)";
        if (handle->output != nullptr) {
            std::fclose(handle->output);
        }
        if (handle->input != nullptr) {
            std::fclose(handle->input);
        }
        delete handle;
        return false;
    }
    screen_ = handle;
    set_term(handle->screen);
    raw();
    noecho();
    nonl();
    keypad(stdscr, FALSE);
    meta(stdscr, TRUE);
    leaveok(stdscr, FALSE);
    curs_set(0);
    utf8_ = std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0;
    colors_ = has_colors();
    if (colors_) {
        start_color();
        short pair = 1;
        for (const Colours& colours : kColours) {
            init_pair(pair++, colours.foreground, colours.background);
        }
    }
    return true;
}

void Terminal::Close() {
    if (screen_ == nullptr) {
        return;
    }
    curs_set(1);
    endwin();
    delscreen(screen_->screen);
    std::fclose(screen_->output);
    std::fclose(screen_->input);
    delete screen_;
    screen_ = nullptr;
}

int Terminal::Rows() const {
    return LINES;
}

int Terminal::Cols() const {
    return COLS;
}

Key Terminal::ReadKey() {
    wtimeout(stdscr, -1);
    int first = wgetch(stdscr);
    // A blocking read fails at once, again and again, when the terminal has gone away; that
    // ends whatever is shown, as Escape does, instead of spinning.
    for (int retries = 0; first == ERR; ++retries) {
        if (retries == kReadRetries) {
            return {kKeyEscape, 0};
        }
        first = wgetch(stdscr);
    }
    if (first == KEY_RESIZE) {
        return {kKeyResize, 0};
    }
    std::string bytes(1, static_cast<char>(first));
    wtimeout(stdscr, kSequenceWaitMs);
    while (!KeyComplete(bytes)) {
        int next = wgetch(stdscr);
        if (next == ERR || next == KEY_RESIZE) {
            break;
        }
        bytes += static_cast<char>(next);
    }
    return DecodeKey(bytes);
}

int Terminal::Attribute(Paint paint) const {
    for (size_t i = 0; i < sizeof kColours / sizeof kColours[0]; ++i) {
        if (kColours[i].paint == paint) {
            return colors_ ? static_cast<int>(COLOR_PAIR(i + 1)) | kColours[i].extra
                           : kColours[i].monochrome;
        }
    }
    return A_NORMAL;
}

void Terminal::Clear(Paint paint) {
    wbkgdset(stdscr, ' ' | Attribute(paint));
    werase(stdscr);
}

void Terminal::Put(int y, int x, const std::string& text, int width, Paint paint, bool pad) {
    if (width <= 0 || y < 0 || y >= LINES || x < 0 || x >= COLS) {
        return;
    }
    if (x + width > COLS) {
        width = COLS - x;
    }
    std::string fitted = FitToWidth(text, width, utf8_, pad);
    wattrset(stdscr, Attribute(paint));
    mvwaddnstr(stdscr, y, x, fitted.c_str(), static_cast<int>(fitted.size()));
}

void Terminal::PutHotkey(int y, int x, const HotkeyText& text, int width, Paint paint,
                         Paint hotkeyPaint) {
    Put(y, x, text.text, width, paint);
    if (text.hotkeyOffset < 0) {
        return;
    }
    std::string before = text.text.substr(0, text.hotkeyOffset);
    int column = DisplayWidth(before, utf8_);
    if (column < width) {
        size_t end = NextCharacter(text.text, text.hotkeyOffset, utf8_);
        Put(y, x + column, text.text.substr(text.hotkeyOffset, end - text.hotkeyOffset), 1,
            hotkeyPaint);
    }
}

void Terminal::Frame(int top, int left, int bottom, int right, Paint paint, bool fill) {
    if (bottom <= top || right <= left) {
        return;
    }
    wattrset(stdscr, Attribute(paint));
    if (fill) {
        for (int y = top + 1; y < bottom; ++y) {
            Put(y, left + 1, "", right - left - 1, paint, true);
        }
    }
    mvwaddch(stdscr, top, left, ACS_ULCORNER);
    mvwaddch(stdscr, top, right, ACS_URCORNER);
    mvwaddch(stdscr, bottom, left, ACS_LLCORNER);
    mvwaddch(stdscr, bottom, right, ACS_LRCORNER);
    mvwhline(stdscr, top, left + 1, ACS_HLINE, right - left - 1);
    mvwhline(stdscr, bottom, left + 1, ACS_HLINE, right - left - 1);
    mvwvline(stdscr, top + 1, left, ACS_VLINE, bottom - top - 1);
    mvwvline(stdscr, top + 1, right, ACS_VLINE, bottom - top - 1);
}

void Terminal::Divider(int top, int bottom, int x, Paint paint) {
    wattrset(stdscr, Attribute(paint));
    mvwaddch(stdscr, top, x, ACS_TTEE);
    mvwvline(stdscr, top + 1, x, ACS_VLINE, bottom - top - 1);
    mvwaddch(stdscr, bottom, x, ACS_BTEE);
}

void Terminal::ShowCursor(int y, int x) {
    wmove(stdscr, y, x);
    curs_set(1);
}

void Terminal::HideCursor() {
    curs_set(0);
}

void Terminal::Flush() {
    wrefresh(stdscr);
}
