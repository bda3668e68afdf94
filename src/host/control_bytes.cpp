// Showing control characters; see control_bytes.h.
#include "control_bytes.h"

#include <cstdio>

#include "store/utf8.h"

namespace {

// The length of the well-formed UTF-8 character at `at`, or 0.
size_t CharacterLength(const std::string& text, size_t at) {
    char32_t code;
    return Utf8Length(reinterpret_cast<const unsigned char*>(text.data()) + at, text.size() - at,
                      &code);
}

void AppendCode(std::string* out, unsigned char byte) {
    char code[5];
    std::snprintf(code, sizeof code, "\\x%02x", byte);
    *out += code;
}

// The bytes of the control character at `at`, or 0 when none is there.
size_t ControlLength(const std::string& text, size_t at, bool codePage) {
    unsigned char byte = text[at];
    if (byte < 0x20 || byte == 0x7F) {
        return 1;
    }
    if (byte < 0x80 || codePage) {
        return 0;
    }
    size_t length = CharacterLength(text, at);
    if (length == 2 && byte == 0xC2 && static_cast<unsigned char>(text[at + 1]) <= 0x9F) {
        return 2;
    }
    return length == 0 && byte <= 0x9F ? 1 : 0;
}

// Calls `visit` with the start, the length and whether it is a control for each character of
// `text` in turn; a byte that begins no UTF-8 character is one of its own.
template <typename Visit>
void EachCharacter(const std::string& text, bool codePage, Visit visit) {
    for (size_t i = 0; i < text.size();) {
        size_t control = ControlLength(text, i, codePage);
        size_t length = control > 0 ? control : CharacterLength(text, i);
        length = length > 0 ? length : 1;
        visit(i, length, control > 0);
        i += length;
    }
}

}  // namespace

bool HoldsControl(const std::string& text, bool codePage) {
    bool found = false;
    EachCharacter(text, codePage, [&](size_t, size_t, bool control) { found = found || control; });
    return found;
}

std::string VisibleText(const std::string& text, bool lossless, bool codePage) {
    std::string out;
    EachCharacter(text, codePage, [&](size_t at, size_t length, bool control) {
        for (size_t i = at; i < at + length; ++i) {
            if (control) {
                AppendCode(&out, text[i]);
            } else if (text[i] == '\\' && lossless) {
                out += "\\\\";
            } else {
                out += text[i];
            }
        }
    });
    return out;
}
