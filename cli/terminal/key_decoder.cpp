// Key decoding without terminfo: every terminal the program meets in practice (xterm and its
// descendants, tmux, screen, the Linux console) sends these sequences, and decoding them here
// keeps Shift, Ctrl and Alt on keys that terminfo describes only in part.
#include "key_decoder.h"

#include <vector>

namespace {

// The longest sequence a key sends; anything longer is given up as unknown.
const size_t kMaxSequence = 16;

// xterm's modifier parameter: 1 + Shift 1 + Alt 2 + Ctrl 4 (+ Meta 8, taken as Alt).
unsigned ModifiersOf(int parameter) {
    if (parameter < 2) {
        return 0;
    }
    int bits = parameter - 1;
    unsigned mods = 0;
    if (bits & 1) {
        mods |= kModShift;
    }
    if (bits & (2 | 8)) {
        mods |= kModAlt;
    }
    if (bits & 4) {
        mods |= kModCtrl;
    }
    return mods;
}

// A key given by its character code, as the CSI u and modifyOtherKeys forms give it.
Key KeyOfCode(int code, unsigned mods) {
    switch (code) {
        case 13:
            return {kKeyEnter, mods};
        case 9:
            return {kKeyTab, mods};
        case 27:
            return {kKeyEscape, mods};
        case 8:
        case 127:
            return {kKeyBackspace, mods};
        default:
            if (code >= 'A' && code <= 'Z' && (mods & kModCtrl)) {
                code += 'a' - 'A';
            }
            return code > 0 && code < 256 ? Key{code, mods} : Key{};
    }
}

Key SingleByte(unsigned char byte) {
    switch (byte) {
        case 13:
            return {kKeyEnter, 0};
        // Ctrl+J: terminals that tell Ctrl+Enter from Enter at all mostly send this.
        case 10:
            return {'j', kModCtrl};
        case 9:
            return {kKeyTab, 0};
        case 8:
        case 127:
            return {kKeyBackspace, 0};
        case 27:
            return {kKeyEscape, 0};
        case 0:
            return {' ', kModCtrl};
        default:
            if (byte < 27) {
                return {'a' + byte - 1, kModCtrl};
            }
            return {byte, 0};
    }
}

std::vector<int> Parameters(const std::string& text) {
    std::vector<int> parameters;
    int value = -1;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            value = (value < 0 ? 0 : value * 10) + (c - '0');
            if (value > 100000) {
                return {};
            }
        } else if (c == ';' || c == ':') {
            parameters.push_back(value);
            value = -1;
        } else {
            return {};
        }
    }
    parameters.push_back(value);
    return parameters;
}

int ParameterAt(const std::vector<int>& parameters, size_t index, int fallback) {
    return index < parameters.size() && parameters[index] >= 0 ? parameters[index] : fallback;
}

// The key of a letter-final sequence (cursor keys, F1 to F4, Shift+Tab), shared by CSI and SS3.
Key LetterKey(char final, unsigned mods) {
    switch (final) {
        case 'A':
            return {kKeyUp, mods};
        case 'B':
            return {kKeyDown, mods};
        case 'C':
            return {kKeyRight, mods};
        case 'D':
            return {kKeyLeft, mods};
        case 'H':
            return {kKeyHome, mods};
        case 'F':
            return {kKeyEnd, mods};
        case 'P':
        case 'Q':
        case 'R':
        case 'S':
            return {FunctionKey(1 + final - 'P'), mods};
        case 'M':
            return {kKeyEnter, mods};
        case 'Z':
            return {kKeyTab, mods | kModShift};
        default:
            return {};
    }
}

// ESC [ number ~ : the editing keys and F5 to F12 (F1 to F4 in rxvt's numbering).
Key TildeKey(int number, unsigned mods) {
    switch (number) {
        case 1:
        case 7:
            return {kKeyHome, mods};
        case 2:
            return {kKeyInsert, mods};
        case 3:
            return {kKeyDelete, mods};
        case 4:
        case 8:
            return {kKeyEnd, mods};
        case 5:
            return {kKeyPageUp, mods};
        case 6:
            return {kKeyPageDown, mods};
        case 11:
        case 12:
        case 13:
        case 14:
        case 15:
            return {FunctionKey(number - 10), mods};
        case 17:
        case 18:
        case 19:
        case 20:
        case 21:
            return {FunctionKey(number - 11), mods};
        case 23:
        case 24:
            return {FunctionKey(number - 12), mods};
        default:
            return {};
    }
}

Key ControlSequence(const std::string& body, char final) {
    std::vector<int> parameters = Parameters(body);
    if (parameters.empty()) {
        return {};
    }
    if (final == '~') {
        int number = ParameterAt(parameters, 0, 0);
        if (number == 27) {
            // modifyOtherKeys: ESC [ 27 ; modifiers ; code ~
            return KeyOfCode(ParameterAt(parameters, 2, 0),
                             ModifiersOf(ParameterAt(parameters, 1, 1)));
        }
        return TildeKey(number, ModifiersOf(ParameterAt(parameters, 1, 1)));
    }
    if (final == 'u') {
        return KeyOfCode(ParameterAt(parameters, 0, 0), ModifiersOf(ParameterAt(parameters, 1, 1)));
    }
    return LetterKey(final, ModifiersOf(ParameterAt(parameters, 1, 1)));
}

}  // namespace

bool KeyComplete(const std::string& bytes) {
    if (bytes.empty()) {
        return false;
    }
    if (bytes[0] != 27 || bytes.size() >= kMaxSequence) {
        return true;
    }
    if (bytes.size() == 1) {
        return false;
    }
    if (bytes[1] == 'O') {
        return bytes.size() >= 3;
    }
    if (bytes[1] != '[') {
        return true;
    }
    // The Linux console's F1 to F5: ESC [ [ letter.
    if (bytes.size() >= 3 && bytes[2] == '[') {
        return bytes.size() >= 4;
    }
    unsigned char last = bytes.back();
    return bytes.size() >= 3 && last >= 0x40 && last <= 0x7E;
}

Key DecodeKey(const std::string& bytes) {
    if (bytes.empty()) {
        return {};
    }
    if (bytes.size() == 1) {
        return SingleByte(bytes[0]);
    }
    if (bytes[0] != 27) {
        return {};
    }
    if (bytes.size() == 2) {
        // Alt sends Escape before the key.
        Key key = SingleByte(bytes[1]);
        if (key.code == kKeyEscape) {
            return key;
        }
        key.mods |= kModAlt;
        return key;
    }
    if (bytes[1] == 'O' && bytes.size() == 3) {
        return LetterKey(bytes[2], 0);
    }
    if (bytes[1] != '[') {
        return {};
    }
    if (bytes[2] == '[') {
        char letter = bytes.size() == 4 ? bytes[3] : 0;
        return letter >= 'A' && letter <= 'E' ? Key{FunctionKey(1 + letter - 'A'), 0} : Key{};
    }
    return ControlSequence(bytes.substr(2, bytes.size() - 3), bytes.back());
}
