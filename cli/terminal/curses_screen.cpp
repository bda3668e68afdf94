// The ncurses screen. Keypad translation stays off: key_decoder reads the raw sequences, which
// keeps modifiers that terminfo does not describe. The screen lives on /dev/tty, not on the
// standard streams, because the shell function reads the program's standard output.
#include <curses.h>

#include <cstdio>
#include <cstdlib>

#include "colours.h"
#include "screen.h"

namespace {

// Without colours (a monochrome terminal, or NO_COLOR set), each piece of the screen is told
// apart by an attribute.
struct Monochrome {
    Paint paint;
    int attribute;
};

const Monochrome kMonochrome[] = {
    {Paint::kPanelTitle, A_REVERSE},  {Paint::kPanelCursor, A_REVERSE},
    {Paint::kPanelSelected, A_BOLD},  {Paint::kPanelSelectedCursor, A_REVERSE | A_BOLD},
    {Paint::kPanelHidden, A_DIM},     {Paint::kPanelFilter, A_BOLD},
    {Paint::kKeyLabel, A_REVERSE},    {Paint::kDialogHotkey, A_UNDERLINE},
    {Paint::kDialogFocus, A_REVERSE}, {Paint::kEdit, A_UNDERLINE},
    {Paint::kMenuCursor, A_REVERSE},
};

static_assert(kBlack == COLOR_BLACK && kBlue == COLOR_BLUE && kCyan == COLOR_CYAN &&
                  kWhite == COLOR_WHITE,
              "the standard colours are numbered as curses numbers them");

// https://no-color.org: a NO_COLOR that is set and not empty asks for no colours.
bool ColoursWanted() {
    const char* noColor = std::getenv("NO_COLOR");
    return (noColor == nullptr || *noColor == '\0') && has_colors();
}

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
        colors_ = ColoursWanted();
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
        if (!colors_) {
            for (const Monochrome& monochrome : kMonochrome) {
                if (monochrome.paint == paint) {
                    return monochrome.attribute;
                }
            }
            return A_NORMAL;
        }
        for (size_t i = 0; i < sizeof kColours / sizeof kColours[0]; ++i) {
            if (kColours[i].paint == paint) {
                return static_cast<int>(COLOR_PAIR(i + 1)) | (kColours[i].bold ? A_BOLD : 0);
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
    // A terminal that cannot move its cursor (TERM=dumb, as in Emacs' shell) would show the key
    // bar alone, with no way to see what is chosen.
    char* move = screen != nullptr ? tigetstr(const_cast<char*>("cup")) : nullptr;
    bool drawable = move != nullptr && move != reinterpret_cast<char*>(-1);
    if (screen == nullptr || !drawable) {
        const char* term = std::getenv("TERM");
        std::string type = std::string("TERM=") + (term != nullptr ? term : "");
        *error = input == nullptr    ? "there is no terminal here (/dev/tty cannot be opened)"
                 : screen == nullptr ? "the terminal type " + type + " is unknown"
                                     : "this terminal (" + type + ") cannot draw a full screen";
        if (screen != nullptr) {
            endwin();
            delscreen(screen);
        }
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
