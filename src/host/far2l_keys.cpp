// Posted keys as far2l types them; see far2l_keys.h.
#include "far2l_keys.h"

#include <cstdio>

namespace {

constexpr DWORD kTab = 9;
constexpr DWORD kEnter = 13;

// Whether far2l types this posted value as the character it stands for: ASCII, and code
// points whose bits 0x100 and 0x200 are clear (higher ones with either bit are taken for
// special keys, and 0x80 to 0xFF are dropped).
bool Typeable(DWORD codePoint) {
    return (codePoint >= 0x20 && codePoint < 0x7F) ||
           (codePoint >= 0x100 && (codePoint & 0x300) == 0);
}

// Decodes UTF-8 into code points; false on a malformed sequence.
bool DecodeUtf8(const std::string& text, std::vector<DWORD>& codePoints) {
    for (size_t i = 0; i < text.size();) {
        unsigned char lead = static_cast<unsigned char>(text[i]);
        int length = lead < 0x80           ? 1
                     : (lead >> 5) == 0x6  ? 2
                     : (lead >> 4) == 0xE  ? 3
                     : (lead >> 3) == 0x1E ? 4
                                           : 0;
        if (length == 0 || i + length > text.size()) {
            return false;
        }
        DWORD codePoint = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length; ++k) {
            unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            codePoint = (codePoint << 6) | (next & 0x3F);
        }
        codePoints.push_back(codePoint);
        i += length;
    }
    return true;
}

bool IsAscii(const std::string& text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

// Appends a text run as far2l can type it; false when some character cannot be typed.
bool AppendTyped(const std::string& run, std::vector<DWORD>& keys) {
    std::vector<DWORD> codePoints;
    if (!DecodeUtf8(run, codePoints)) {
        return false;
    }
    for (DWORD codePoint : codePoints) {
        if (!Typeable(codePoint)) {
            return false;
        }
    }
    keys.insert(keys.end(), codePoints.begin(), codePoints.end());
    return true;
}

// Whether key `i` is a control character or a part of one: C1 controls arrive as the UTF-8
// bytes C2 80 to C2 9F.
bool IsControl(const DWORD* keys, int count, int i) {
    auto c1Tail = [](DWORD key) { return key >= 0x80 && key <= 0x9F; };
    bool c1Lead = keys[i] == 0xC2 && i + 1 < count && c1Tail(keys[i + 1]);
    bool c1Second = i > 0 && keys[i - 1] == 0xC2 && c1Tail(keys[i]);
    return keys[i] < 0x20 || keys[i] == 0x7F || c1Lead || c1Second;
}

// The keys as text for a message, control characters shown as \xHH.
std::string Visible(const DWORD* keys, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        if (IsControl(keys, count, i)) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", static_cast<unsigned>(keys[i] & 0xFF));
            text += hex;
        } else {
            text += static_cast<char>(keys[i]);
        }
    }
    return text;
}

bool PlainWord(const DWORD* keys, int count) {
    const std::string shellSyntax = " ;&|`$()<>{}'\"\\";
    for (int i = 0; i < count; ++i) {
        if (IsControl(keys, count, i) ||
            (keys[i] < 0x80 && shellSyntax.find(static_cast<char>(keys[i])) != std::string::npos)) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool TypedAsOneWord(const DWORD* keys, int count, std::string* refused) {
    int start = 0;
    for (int i = 0; i <= count; ++i) {
        if (i < count && keys[i] != kTab) {
            continue;
        }
        // A part between Tabs: nothing, or a word and its Enter.
        int length = i - start;
        if (length > 0) {
            const DWORD* word = keys + start;
            int wordLength = length - 1;
            bool shaped = keys[i - 1] == kEnter;
            for (int k = 0; shaped && k < wordLength; ++k) {
                shaped = word[k] != kEnter;
            }
            if (!shaped) {
                *refused = Visible(keys, count);
                return false;
            }
            if (!PlainWord(word, wordLength)) {
                *refused = Visible(word, wordLength);
                return false;
            }
        }
        start = i + 1;
    }
    return true;
}

bool TypedAsPosted(const DWORD* keys, int count) {
    for (int i = 0; i < count; ++i) {
        if (keys[i] >= 0x80) {
            return false;
        }
    }
    return true;
}

Far2lTyping TypingFor(const DWORD* keys, int count) {
    Far2lTyping typing;
    std::string run;
    bool firstRun = true;
    for (int i = 0; i <= count; ++i) {
        DWORD key = i < count ? keys[i] : kEnter;
        if (key != kTab && key != kEnter) {
            run += static_cast<char>(key);
            continue;
        }
        if (!run.empty()) {
            if (firstRun && !IsAscii(run)) {
                typing.commandLine = run;
            } else if (!AppendTyped(run, typing.keys)) {
                break;
            }
            firstRun = false;
            run.clear();
        }
        if (i < count) {
            typing.keys.push_back(key);
        }
    }
    return typing;
}
