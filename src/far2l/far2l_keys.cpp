// Posted keys as far2l types them; see far2l_keys.h.
#include "far2l_keys.h"

#include "store/utf8.h"

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

}  // namespace

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
