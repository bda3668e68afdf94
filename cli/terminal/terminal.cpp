// Drawing and keys over the screen (screen.h), which is started when the panel or a question
// first needs it: most starts of the program never draw.
#include "terminal.h"

#include <cstdlib>

namespace {

// How long the rest of an escape sequence may take to arrive after its Escape; a lone Escape
// is taken as the Escape key after this. Over a slow remote link the bytes of one cursor key
// have been seen 100 ms apart; ESCDELAY (milliseconds, as curses reads it) chooses another wait.
const int kSequenceWaitMs = 300;

int SequenceWaitMs() {
    const char* chosen = std::getenv("ESCDELAY");
    char* end = nullptr;
    long wait = chosen != nullptr ? std::strtol(chosen, &end, 10) : -1;
    return chosen != nullptr && *chosen != '\0' && *end == '\0' && wait >= 0 && wait <= 10000
               ? static_cast<int>(wait)
               : kSequenceWaitMs;
}
// Failed reads in a row after which the terminal counts as gone (a signal may fail one).
const int kReadRetries = 100;

}  // namespace

Terminal::~Terminal() {
    Close();
}

bool Terminal::Open(std::string* error) {
    if (screen_ != nullptr) {
        return true;
    }
    // Before the screen starts, which draws by the locale.
    utf8_ = LocaleIsUtf8();
    screen_.reset(OpenScreen(error));
    return screen_ != nullptr;
}

void Terminal::Close() {
    screen_.reset();
}

int Terminal::Rows() const {
    return screen_->Rows();
}

int Terminal::Cols() const {
    return screen_->Cols();
}

Key Terminal::ReadKey() {
    int first = screen_->ReadByte(-1);
    // A blocking read fails at once, again and again, when the terminal has gone away; that
    // ends whatever is shown, as Escape does, instead of spinning.
    for (int retries = 0; first == Screen::kNoByte; ++retries) {
        if (retries == kReadRetries) {
            return {kKeyEscape, 0};
        }
        first = screen_->ReadByte(-1);
    }
    if (first == Screen::kResized) {
        return {kKeyResize, 0};
    }
    static const int sequenceWaitMs = SequenceWaitMs();
    std::string bytes(1, static_cast<char>(first));
    while (!KeyComplete(bytes)) {
        int next = screen_->ReadByte(sequenceWaitMs);
        if (next < 0) {
            break;
        }
        bytes += static_cast<char>(next);
    }
    return DecodeKey(bytes);
}

void Terminal::Clear(Paint paint) {
    screen_->Clear(paint);
}

void Terminal::Put(int y, int x, const std::string& text, int width, Paint paint, bool pad) {
    int rows = screen_->Rows(), cols = screen_->Cols();
    if (width <= 0 || y < 0 || y >= rows || x < 0 || x >= cols) {
        return;
    }
    if (x + width > cols) {
        width = cols - x;
    }
    screen_->Write(y, x, FitToWidth(text, width, utf8_, pad), paint);
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
    if (fill) {
        for (int y = top + 1; y < bottom; ++y) {
            Put(y, left + 1, "", right - left - 1, paint, true);
        }
    }
    screen_->FrameLines(top, left, bottom, right, paint);
}

void Terminal::Divider(int top, int bottom, int x, Paint paint) {
    screen_->Divider(top, bottom, x, paint);
}

void Terminal::ShowCursor(int y, int x) {
    screen_->ShowCursor(y, x);
}

void Terminal::HideCursor() {
    screen_->HideCursor();
}

void Terminal::Flush() {
    screen_->Flush();
}
