// The drawing surface under the velmora program's terminal: what ncurses does for it, behind
// an interface, so that only curses_screen.cpp knows ncurses. The program carries ncurses inside
// (it is linked whole, so nothing is loaded at a start), and starts it only when the panel or a
// question needs the screen.
#pragma once

#include <string>

// What a piece of the screen is; each has its colour, or an attribute on a monochrome terminal.
enum class Paint {
    kPanel,
    kPanelFrame,
    kPanelTitle,
    kPanelCursor,
    kPanelSelected,
    kPanelSelectedCursor,
    kPanelHidden,
    kPanelFilter,
    kStatus,
    kKeyNumber,
    kKeyLabel,
    kDialog,
    kDialogHotkey,
    kDialogFocus,
    kEdit,
    kMenu,
    kMenuCursor,
};

class Screen {
  public:
    // Ends the full-screen session and gives the terminal back as it was.
    virtual ~Screen() = default;

    virtual int Rows() const = 0;
    virtual int Cols() const = 0;
    // The next byte typed, waiting at most `waitMs` (for ever when negative): kNoByte when none
    // came, kResized after the window changed its size.
    static const int kNoByte = -1;
    static const int kResized = -2;
    virtual int ReadByte(int waitMs) = 0;

    virtual void Clear(Paint paint) = 0;
    // Writes bytes that fit at the row and column as they are.
    virtual void Write(int y, int x, const std::string& bytes, Paint paint) = 0;
    // The lines of a frame, and of a vertical line joined to a frame's top and bottom.
    virtual void FrameLines(int top, int left, int bottom, int right, Paint paint) = 0;
    virtual void Divider(int top, int bottom, int x, Paint paint) = 0;
    virtual void ShowCursor(int y, int x) = 0;
    virtual void HideCursor() = 0;
    virtual void Flush() = 0;
};

// Starts the session on /dev/tty, or gives none with the reason.
Screen* OpenScreen(std::string* error);
