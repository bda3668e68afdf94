// The ncurses screen. Keypad translation stays off: key_decoder reads the raw sequences, which
// keeps modifiers that terminfo does not describe. The screen lives on /dev/tty, not on the
// standard streams, because the shell function reads the program's standard output.
#include <curses.h>

#include <cstdio>

#include "screen.h"

namespace {

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

class CursesScreen : public Screen {
  public:
    CursesScreen(SCREEN* screen, FILE* input, FILE* output)
        : screen_(screen), input_(input), output_(output) {
        set_term(screen_);
        raw();
        noecho();
        nonl();
        keypad(stdscr, FALSE);
        meta(stdscr, TRUE);
        leaveok(stdscr, FALSE);
        curs_set(0);
        colors_ = has_colors();
        if (colors_) {
            start_color();
            short pair = 1;
            for (const Colours& colours : kColours) {
                init_pair(pair++, colours.foreground, colours.background);
            }
        }
    }
    ~CursesScreen() override {
        curs_set(1);
        endwin();
        delscreen(screen_);
        std::fclose(output_);
        std::fclose(input_);
    }

    int Rows() const override { return LINES; }
    int Cols() const override { return COLS; }

    int ReadByte(int waitMs) override {
        wtimeout(stdscr, waitMs);
        int byte = wgetch(stdscr);
        if (byte == KEY_RESIZE) {
            return kResized;
        }
        return byte == ERR ? kNoByte : byte;
    }

    void Clear(Paint paint) override {
        wbkgdset(stdscr, ' ' | Attribute(paint));
        werase(stdscr);
    }

    void Write(int y, int x, const std::string& bytes, Paint paint) override {
        wattrset(stdscr, Attribute(paint));
        mvwaddnstr(stdscr, y, x, bytes.c_str(), static_cast<int>(bytes.size()));
    }

    void FrameLines(int top, int left, int bottom, int right, Paint paint) override {
        wattrset(stdscr, Attribute(paint));
        mvwaddch(stdscr, top, left, ACS_ULCORNER);
        mvwaddch(stdscr, top, right, ACS_URCORNER);
        mvwaddch(stdscr, bottom, left, ACS_LLCORNER);
        mvwaddch(stdscr, bottom, right, ACS_LRCORNER);
        mvwhline(stdscr, top, left + 1, ACS_HLINE, right - left - 1);
        mvwhline(stdscr, bottom, left + 1, ACS_HLINE, right - left - 1);
        mvwvline(stdscr, top + 1, left, ACS_VLINE, bottom - top - 1);
        mvwvline(stdscr, top + 1, right, ACS_VLINE, bottom - top - 1);
    }

    void Divider(int top, int bottom, int x, Paint paint) override {
        wattrset(stdscr, Attribute(paint));
        mvwaddch(stdscr, top, x, ACS_TTEE);
        mvwvline(stdscr, top + 1, x, ACS_VLINE, bottom - top - 1);
        mvwaddch(stdscr, bottom, x, ACS_BTEE);
    }

    void ShowCursor(int y, int x) override {
        wmove(stdscr, y, x);
        curs_set(1);
    }
    void HideCursor() override { curs_set(0); }
    void Flush() override { wrefresh(stdscr); }

  private:
    int Attribute(Paint paint) const {
        for (size_t i = 0; i < sizeof kColours / sizeof kColours[0]; ++i) {
            if (kColours[i].paint == paint) {
                return colors_ ? static_cast<int>(COLOR_PAIR(i + 1)) | kColours[i].extra
                               : kColours[i].monochrome;
            }
        }
        return A_NORMAL;
    }

    SCREEN* screen_;
    FILE* input_;
    FILE* output_;
    bool colors_ = false;
};

}  // namespace

Screen* OpenScreen(std::string* error) {
    FILE* input = std::fopen("/dev/tty", "re");
    FILE* output = input != nullptr ? std::fopen("/dev/tty", "we") : nullptr;
    SCREEN* screen = output != nullptr ? newterm(nullptr, output, input) : nullptr;
    if (screen == nullptr) {
        *error = input == nullptr ? "there is no terminal (/dev/tty cannot be opened)"
                                  : "the terminal type is unknown (TERM)";
        if (output != nullptr) {
            std::fclose(output);
        }
        if (input != nullptr) {
            std::fclose(input);
        }
        return nullptr;
    }
    return new CursesScreen(screen, input, output);
}
