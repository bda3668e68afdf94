// The bytes a terminal sends for one key press, turned into a key and its modifiers: control
// characters, Alt as a leading Escape, and the xterm escape sequences for cursor and function
// keys (with modifiers, and the CSI u and modifyOtherKeys forms some terminals use for Enter).
#pragma once

#include <string>

enum KeyCode : int {
    kKeyNone = -1,
    // Codes below 256 are the byte typed.
    kKeyEnter = 0x100,
    kKeyTab,
    kKeyBackspace,
    kKeyEscape,
    kKeyUp,
    kKeyDown,
    kKeyLeft,
    kKeyRight,
    kKeyHome,
    kKeyEnd,
    kKeyPageUp,
    kKeyPageDown,
    kKeyInsert,
    kKeyDelete,
    kKeyResize,
    // kKeyF1 + n - 1 is Fn.
    kKeyF1 = 0x200,
};

enum KeyModifier : unsigned {
    kModShift = 1,
    kModAlt = 2,
    kModCtrl = 4,
};

struct Key {
    int code = kKeyNone;
    unsigned mods = 0;

    bool Is(int c, unsigned m = 0) const { return code == c && mods == m; }
    bool operator==(const Key& other) const { return code == other.code && mods == other.mods; }
};

inline int FunctionKey(int n) {
    return kKeyF1 + n - 1;
}

// Whether `bytes`, which start with the first byte of a key, hold the whole key. A lone
// Escape is not complete: the reader waits a moment for more and decodes it as it stands when
// nothing follows.
bool KeyComplete(const std::string& bytes);

// The key in `bytes`; kKeyNone for a sequence no key of ours sends.
Key DecodeKey(const std::string& bytes);
