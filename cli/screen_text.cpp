// Hotkey marks, widths and cutting of texts for the terminal's windows.
#include "screen_text.h"

#include <langinfo.h>

#include <cctype>
#include <clocale>
#include <cstring>

namespace {

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

}  // namespace

HotkeyText StripHotkey(const std::string& text) {
    HotkeyText result;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) {
            ++i;
            if (text[i] != '&' && result.hotkeyOffset < 0) {
                result.hotkeyOffset = static_cast<int>(result.text.size());
                result.hotkey =
                    static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
            }
        }
        result.text += text[i];
    }
    return result;
}

bool LocaleIsUtf8() {
    static const bool utf8 =
        std::setlocale(LC_CTYPE, "") != nullptr && std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0;
    return utf8;
}

int DisplayWidth(const std::string& text, bool utf8) {
    int width = 0;
    for (unsigned char byte : text) {
        if (!utf8 || !IsContinuation(byte)) {
            ++width;
        }
    }
    return width;
}

std::string FitToWidth(const std::string& text, int width, bool utf8, bool pad) {
    std::string result;
    int used = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char byte = text[i];
        bool startsCharacter = !utf8 || !IsContinuation(byte);
        if (startsCharacter) {
            if (used == width) {
                break;
            }
            ++used;
        }
        result += byte < 32 || byte == 127 ? '?' : static_cast<char>(byte);
    }
    if (pad && used < width) {
        result.append(width - used, ' ');
    }
    return result;
}

size_t PreviousCharacter(const std::string& text, size_t offset, bool utf8) {
    if (offset == 0) {
        return 0;
    }
    --offset;
    while (utf8 && offset > 0 && IsContinuation(text[offset])) {
        --offset;
    }
    return offset;
}

size_t NextCharacter(const std::string& text, size_t offset, bool utf8) {
    if (offset >= text.size()) {
        return text.size();
    }
    ++offset;
    while (utf8 && offset < text.size() && IsContinuation(text[offset])) {
        ++offset;
    }
    return offset;
}
