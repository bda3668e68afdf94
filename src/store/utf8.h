// Reading UTF-8 strictly, one character at a time: bytes that form no well-formed character are
// left to the caller as bytes of their own. Written out here in full so that the stand-in host,
// which reads the texts it matches by the same rule, needs nothing of the module but this file.
#pragma once

#include <cstddef>

// The length of the well-formed UTF-8 character of two to four bytes that begins `text` (which
// holds `size` bytes from there), with its code point in `code`; 0 when none begins there, as
// for an ASCII byte. The second byte's range keeps out overlong forms (which a lax reader might
// take for a control or a '/'), surrogates and code points past U+10FFFF.
inline size_t Utf8Length(const unsigned char* text, size_t size, char32_t* code) {
    unsigned char lead = text[0];
    size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                    : lead >= 0xE0 && lead <= 0xEF ? 3
                    : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                   : 0;
    if (length == 0 || length > size) {
        return 0;
    }
    unsigned char lowest = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    unsigned char highest = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    if (text[1] < lowest || text[1] > highest) {
        return 0;
    }
    char32_t value = lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) {
        if ((text[i] & 0xC0) != 0x80) {
            return 0;
        }
        value = (value << 6) | (text[i] & 0x3F);
    }
    *code = value;
    return length;
}
