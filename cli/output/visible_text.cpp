// Showing control bytes; see visible_text.h.
#include "visible_text.h"

#include <algorithm>
#include <cstdio>

namespace {

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The length of the well-formed UTF-8 character that begins at `at`, or 0. The second byte's
// range keeps out overlong forms (which a lax decoder might read as a control), surrogates and
// code points past U+10FFFF.
size_t Utf8Length(const std::string& text, size_t at) {
    unsigned char lead = text[at];
    size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                    : lead >= 0xE0 && lead <= 0xEF ? 3
                    : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                   : 0;
    if (length == 0 || at + length > text.size()) {
        return 0;
    }
    unsigned char second = text[at + 1];
    unsigned char lowest = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    unsigned char highest = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    if (second < lowest || second > highest) {
        return 0;
    }
    for (size_t i = 2; i < length; ++i) {
        if (!IsContinuation(text[at + i])) {
            return 0;
        }
    }
    return length;
}

void AppendCode(std::string* out, unsigned char byte) {
    char code[5];
    std::snprintf(code, sizeof code, "\\x%02x", byte);
    *out += code;
}

// The bytes of the character at `at` that is a control (2 for a C1 control in UTF-8, else 1), or
// 0 when it is none.
size_t ControlLength(const std::string& text, size_t at) {
    unsigned char byte = text[at];
    if (byte < 0x20 || byte == 0x7F) {
        return 1;
    }
    if (byte < 0x80) {
        return 0;
    }
    size_t length = Utf8Length(text, at);
    if (length == 2 && byte == 0xC2 && static_cast<unsigned char>(text[at + 1]) <= 0x9F) {
        return 2;
    }
    return length == 0 && byte <= 0x9F ? 1 : 0;
}

}  // namespace

std::string VisibleText(const std::string& text, bool lossless) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        size_t control = ControlLength(text, i);
        size_t length = control > 0 ? control : std::max<size_t>(Utf8Length(text, i), 1);
        for (size_t end = i + length; i < end; ++i) {
            if (control > 0) {
                AppendCode(&out, text[i]);
            } else if (text[i] == '\\' && lossless) {
                out += "\\\\";
            } else {
                out += text[i];
            }
        }
    }
    return out;
}

void Say(const std::string& message) {
    std::fprintf(stderr, "velmora: %s\n", VisibleText(message).c_str());
}
