// Hotkey marks, widths and cutting of texts for the terminal's windows and the table of names.
#include "screen_text.h"

#include <langinfo.h>

#include <cctype>
#include <clocale>
#include <cstring>
#include <cwchar>

namespace {

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The columns the character at `at` takes, as the terminal's locale says (a CJK character two,
// a combining accent none); `next` is where the character ends. A byte that begins no character,
// and a character the locale knows no width for, take one column, as terminals show them.
int CharacterWidth(const std::string& text, size_t at, bool utf8, size_t* next) {
    *next = NextCharacter(text, at, utf8);
    if (!utf8 || static_cast<unsigned char>(text[at]) < 0x80) {
        return 1;
    }
    wchar_t code = 0;
    std::mbstate_t state{};
    size_t length = *next - at;
    if (std::mbrtowc(&code, text.data() + at, length, &state) != length) {
        return 1;
    }
    int width = wcwidth(code);
    return width < 0 ? 1 : width;
}

// What stands where a text was cut: "…", or "..." in a terminal without UTF-8.
std::string CutMark(bool utf8) {
    return utf8 ? "\xe2\x80\xa6" : "...";
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
    for (size_t i = 0, next = 0; i < text.size(); i = next) {
        width += CharacterWidth(text, i, utf8, &next);
    }
    return width;
}

std::string FitToWidth(const std::string& text, int width, bool utf8, bool pad) {
    std::string result;
    int used = 0;
    for (size_t i = 0, next = 0; i < text.size(); i = next) {
        int columns = CharacterWidth(text, i, utf8, &next);
        if (used + columns > width) {
            break;
        }
        used += columns;
        for (size_t byte = i; byte < next; ++byte) {
            unsigned char c = text[byte];
            result += c < 32 || c == 127 ? '?' : static_cast<char>(c);
        }
    }
    if (pad && used < width) {
        result.append(width - used, ' ');
    }
    return result;
}

std::string CutToWidth(const std::string& text, int width, bool utf8) {
    if (DisplayWidth(text, utf8) <= width) {
        return FitToWidth(text, width, utf8);
    }
    const std::string mark = CutMark(utf8);
    int markWidth = DisplayWidth(mark, utf8);
    if (width < markWidth) {
        return FitToWidth(text, width, utf8);
    }
    return FitToWidth(text, width - markWidth, utf8) + mark;
}

std::string CutInMiddle(const std::string& text, int width, bool utf8) {
    const std::string mark = CutMark(utf8);
    int markWidth = DisplayWidth(mark, utf8);
    if (DisplayWidth(text, utf8) <= width || width < markWidth + 2) {
        return CutToWidth(text, width, utf8);
    }
    // A third of the room for the beginning, the rest for the end, which tells paths apart.
    int tailWidth = width - markWidth - (width - markWidth) / 3;
    size_t tailStart = text.size();
    for (int used = 0; tailStart > 0;) {
        size_t previous = PreviousCharacter(text, tailStart, utf8), next = 0;
        used += CharacterWidth(text, previous, utf8, &next);
        if (used > tailWidth) {
            break;
        }
        tailStart = previous;
    }
    std::string tail = FitToWidth(text.substr(tailStart), tailWidth, utf8);
    int headWidth = width - markWidth - DisplayWidth(tail, utf8);
    return FitToWidth(text, headWidth, utf8) + mark + tail;
}

std::vector<std::string> WrapToWidth(const std::string& text, int width, bool utf8) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (DisplayWidth(text.substr(start), utf8) > width && width > 0) {
        // The longest run from `start` that fits, and the last blank in it.
        size_t end = start, blank = std::string::npos;
        for (int used = 0, columns = 0; end < text.size(); end = NextCharacter(text, end, utf8)) {
            size_t next = 0;
            columns = CharacterWidth(text, end, utf8, &next);
            if (used + columns > width) {
                break;
            }
            used += columns;
            if (text[end] == ' ' && end > start) {
                blank = end;
            }
        }
        if (end < text.size() && text[end] == ' ') {
            blank = end;
        } else if (end == start) {
            end = NextCharacter(text, start, utf8);
        }
        size_t cut = blank != std::string::npos ? blank : end;
        lines.push_back(text.substr(start, cut - start));
        start = cut;
        while (start < text.size() && text[start] == ' ') {
            ++start;
        }
    }
    if (start < text.size() || lines.empty()) {
        lines.push_back(text.substr(start));
    }
    return lines;
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
