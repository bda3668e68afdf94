// The full-screen terminal the velmora program draws on: a screen on /dev/tty (so that
// standard output stays free for the directory a jump prints), drawing of texts cut to
// columns, and reading one decoded key at a time.
#pragma once

#include <memory>
#include <string>

#include "key_decoder.h"
#include "screen.h"
#include "screen_text.h"

class Terminal {
  public:
    Terminal() = default;
    ~Terminal();
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    // Starts the full-screen session; false with the reason when there is no usable terminal.
    bool Open(std::string* error);
    // Ends it and gives the terminal back to the shell as it was.
    void Close();
    bool IsOpen() const { return screen_ != nullptr; }
    // Whether the terminal takes UTF-8, so that several bytes may be one column.
    bool Utf8() const { return utf8_; }

    int Rows() const;
    int Cols() const;

    // Waits for the next key; kKeyResize after the window changed its size.
    Key ReadKey();

    void Clear(Paint paint);
    // Writes `text` at the row and column, cut to `width` columns (and padded when `pad`).
    void Put(int y, int x, const std::string& text, int width, Paint paint, bool pad = false);
    // Writes a text with its hotkey character in `hotkeyPaint`.
    void PutHotkey(int y, int x, const HotkeyText& text, int width, Paint paint, Paint hotkeyPaint);
    // A frame of single lines; `fill` paints the inside too.
    void Frame(int top, int left, int bottom, int right, Paint paint, bool fill);
    // A vertical line inside a frame, joined to its top and bottom edges.
    void Divider(int top, int bottom, int x, Paint paint);
    void ShowCursor(int y, int x);
    void HideCursor();
    void Flush();

  private:
    std::unique_ptr<Screen> screen_;
    bool utf8_ = false;
};
