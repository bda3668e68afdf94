// Posted keys as far2l types them; see far2l_keys.h.
#include "far2l_keys.h"

#include "../store/utf8.h"
#include "control_bytes.h"

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
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    for (size_t i = 0; i < text.size();) {
        char32_t codePoint = bytes[i];
        size_t length = codePoint < 0x80 ? 1 : Utf8Length(bytes + i, text.size() - i, &codePoint);
        if (length == 0) {
            return false;
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

// The keys as the bytes they type: the module posts a text's bytes one key each.
std::string KeysText(const DWORD* keys, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += static_cast<char>(keys[i]);
    }
    return text;
}

// Besides the blank and the characters that end or join commands, quote, substitute or
// redirect, the shell gives a meaning of its own to '!' and '^' (history: "ftp:x!!" would splice
// the last command line in), '*?[]' (patterns that stand for file names), '~' (a home folder)
// and '=' (an assignment such as "PATH=/tmp/x:y", which changes how every later command runs).
bool PlainWord(const std::string& word) {
    const std::string shellSyntax = " ;&|`$()<>{}'\"\\!^*?[]~=";
    return !HoldsControl(word) && word.find_first_of(shellSyntax) == std::string::npos;
}

}  // namespace

bool TypedAsOneWord(const char* text, const DWORD* keys, int count, std::string* refused) {
    // The target is judged as it is stored: a Tab or an Enter in it would pass for a change of
    // panels or the end of a command in the keys.
    if (text != nullptr && !PlainWord(text)) {
        *refused = VisibleText(text);
        return false;
    }
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
                *refused = VisibleText(KeysText(keys, count));
                return false;
            }
            if (!PlainWord(KeysText(word, wordLength))) {
                *refused = VisibleText(KeysText(word, wordLength));
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
