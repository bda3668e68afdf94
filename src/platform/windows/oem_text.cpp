// Converting between the host's OEM code page and UTF-16. A text goes through whole in one call
// when the page writes all of it; only a text with a character the page lacks, or with a '<'
// that would read as an escape, is converted character by character.
#include "oem_text.h"

#include <cstdio>
#include <cwchar>

namespace {

// The escape "<U+" 4 to 6 hexadecimal digits ">": its length in `text`, with the code point in
// `code`, or 0 when none begins there. One rule for both sides, so that what one writes the
// other reads.
template <typename Char>
size_t EscapeLength(const Char* text, size_t size, char32_t* code) {
    if (size < 8 || text[0] != '<' || text[1] != 'U' || text[2] != '+') {
        return 0;
    }
    char32_t value = 0;
    size_t i = 3;
    for (; i < size && i < 10 && text[i] != '>'; ++i) {
        Char c = text[i];
        int digit = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                           : -1;
        if (digit < 0) {
            return 0;
        }
        value = value * 16 + static_cast<char32_t>(digit);
    }
    size_t digits = i - 3;
    if (i == size || text[i] != '>' || digits < 4 || digits > 6 || value > 0x10FFFF) {
        return 0;
    }
    *code = value;
    return i + 1;
}

void AppendEscape(std::string& out, char32_t code) {
    char escape[12];
    std::snprintf(escape, sizeof escape, "<U+%04X>", static_cast<unsigned>(code));
    out += escape;
}

bool IsHigh(wchar_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLow(wchar_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// Whether `bytes` read back in the OEM page are exactly `units`.
bool ReadsBack(const char* bytes, int size, const wchar_t* units, int count) {
    wchar_t back[8];
    int length = MultiByteToWideChar(CP_OEMCP, 0, bytes, size, back, 8);
    return length == count && std::wmemcmp(back, units, count) == 0;
}

// The whole text in the OEM page, when the page writes every character of it exactly.
bool ConvertWhole(const wchar_t* text, int size, std::string& out) {
    BOOL lost = FALSE;
    int length =
        WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, text, size, nullptr, 0, nullptr, &lost);
    if (length <= 0 || lost) {
        return false;
    }
    out.resize(length);
    WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, text, size, &out[0], length, nullptr,
                        nullptr);
    if (out.find("<U+") != std::string::npos) {
        return false;
    }
    std::wstring back(size, L'\0');
    return MultiByteToWideChar(CP_OEMCP, 0, out.data(), length, &back[0], size) == size &&
           back.compare(0, size, text, size) == 0;
}

void AppendFromPage(std::wstring& out, const char* text, size_t size) {
    if (size == 0) {
        return;
    }
    int count = static_cast<int>(size);
    int length = MultiByteToWideChar(CP_OEMCP, 0, text, count, nullptr, 0);
    size_t at = out.size();
    out.resize(at + length);
    MultiByteToWideChar(CP_OEMCP, 0, text, count, &out[at], length);
}

}  // namespace

std::string ToHostText(const wchar_t* text, size_t size) {
    std::string out;
    if (size == 0 || ConvertWhole(text, static_cast<int>(size), out)) {
        return out;
    }
    out.clear();
    for (size_t i = 0; i < size;) {
        int units = IsHigh(text[i]) && i + 1 < size && IsLow(text[i + 1]) ? 2 : 1;
        char32_t code = units == 2 ? 0x10000 + ((text[i] - 0xD800) << 10) + (text[i + 1] - 0xDC00)
                                   : static_cast<char32_t>(text[i]);
        char32_t unused;
        char bytes[8];
        BOOL lost = FALSE;
        int length = text[i] == L'<' && EscapeLength(text + i, size - i, &unused) != 0
                         ? 0
                         : WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, text + i, units,
                                               bytes, sizeof bytes, nullptr, &lost);
        if (length > 0 && !lost && ReadsBack(bytes, length, text + i, units)) {
            out.append(bytes, length);
        } else {
            AppendEscape(out, code);
        }
        i += units;
    }
    return out;
}

std::wstring FromHostText(const char* text, size_t size) {
    std::wstring out;
    size_t run = 0;
    for (size_t i = 0; i < size;) {
        char32_t code;
        size_t length = EscapeLength(text + i, size - i, &code);
        if (length == 0) {
            ++i;
            continue;
        }
        AppendFromPage(out, text + run, i - run);
        if (code < 0x10000) {
            out += static_cast<wchar_t>(code);
        } else {
            out += static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10));
            out += static_cast<wchar_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        }
        i += length;
        run = i;
    }
    AppendFromPage(out, text + run, size - run);
    return out;
}

std::wstring FromHostText(const char* text) {
    return text != nullptr ? FromHostText(text, std::char_traits<char>::length(text))
                           : std::wstring();
}
