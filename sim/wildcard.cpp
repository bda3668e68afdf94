// Wildcard matching for the stand-in host, as far2l matches (measured against far2l 2.6.5).
// Patterns come from stored filters, which users write freely, so the match runs in time
// proportional to pattern times text at worst rather than trying every split of the text
// between the stars.
#include "wildcard.h"

#include <cstring>
#include <cwchar>
#include <locale>
#include <string>

#include "store/utf8.h"

namespace {

// A byte that is no part of a well-formed UTF-8 character is kept as a code of its own, which
// no decoded character can be (decoding refuses surrogates), so it matches only itself or '?'.
constexpr char32_t kStrayByte = 0xDC00;

std::u32string Decode(const char* text, WildcardText kind) {
    std::u32string codes;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    const auto* end = bytes + std::strlen(text);
    while (bytes != end) {
        char32_t code = *bytes;
        size_t length = 1;
        if (kind == WildcardText::kUtf8 && code >= 0x80) {
            length = Utf8Length(bytes, static_cast<size_t>(end - bytes), &code);
            if (length == 0) {
                code = kStrayByte + *bytes;
                length = 1;
            }
        }
        codes += code;
        bytes += length;
    }
    return codes;
}

// Unicode's case pairs, as far2l takes them from the C library; the byte-wise host pairs ASCII
// letters only, since a byte's letter depends on a code page it must not guess.
class LetterCase {
  public:
    explicit LetterCase(WildcardText kind)
        : unicode_(kind == WildcardText::kUtf8 ? Unicode() : nullptr) {}
    char32_t Upper(char32_t c) const {
        return unicode_ != nullptr && IsWide(c) ? unicode_->toupper(static_cast<wchar_t>(c))
               : c >= 'a' && c <= 'z'           ? c - 'a' + 'A'
                                                : c;
    }
    char32_t Lower(char32_t c) const {
        return unicode_ != nullptr && IsWide(c) ? unicode_->tolower(static_cast<wchar_t>(c))
               : c >= 'A' && c <= 'Z'           ? c - 'A' + 'a'
                                                : c;
    }

  private:
    static bool IsWide(char32_t c) { return c <= static_cast<char32_t>(WCHAR_MAX); }
    // The tables of the C.UTF-8 locale whatever the user's locale is, so that a name matches
    // alike for everyone; without that locale only ASCII letters fold.
    static const std::ctype<wchar_t>* Unicode() {
        static const std::ctype<wchar_t>* const tables = []() -> const std::ctype<wchar_t>* {
            try {
                static const std::locale utf8("C.UTF-8");
                return &std::use_facet<std::ctype<wchar_t>>(utf8);
            } catch (const std::exception&) {
                return nullptr;
            }
        }();
        return tables;
    }
    const std::ctype<wchar_t>* unicode_;
};

class Matcher {
  public:
    Matcher(std::u32string pattern, WildcardText kind) : p_(std::move(pattern)), case_(kind) {}

    bool Matches(const std::u32string& s) const {
        // Only the latest star needs to be retried: whatever an earlier star would take on top
        // of its current run, the latest star can take just as well. Every other element takes
        // exactly one character.
        size_t p = 0, i = 0;
        size_t star = std::u32string::npos, resume = 0;
        while (i < s.size()) {
            size_t next = 0;
            if (p < p_.size() && p_[p] == '*') {
                star = p++;
                resume = i;
            } else if (p < p_.size() && TakesOne(p, s[i], &next)) {
                p = next;
                ++i;
            } else if (star != std::u32string::npos) {
                p = star + 1;
                i = ++resume;
            } else {
                return false;
            }
        }
        while (p < p_.size() && p_[p] == '*') {
            ++p;
        }
        return p == p_.size();
    }

  private:
    // Whether the element at `p` takes the character `c`; `next` is where the element ends.
    bool TakesOne(size_t p, char32_t c, size_t* next) const {
        *next = p + 1;
        if (p_[p] == '?') {
            return true;
        }
        if (p_[p] == '[' && p_.find(']', p + 1) != std::u32string::npos) {
            return InSet(p + 1, c, next);
        }
        // far2l tries the pattern's letter in its two cases: "a" takes "A", while a titlecase
        // letter such as U+01C5 takes only its upper and lower forms, not itself.
        return c == case_.Upper(p_[p]) || c == case_.Lower(p_[p]);
    }

    bool InSet(size_t p, char32_t c, size_t* next) const {
        const char32_t upper = case_.Upper(c);
        if (p + 1 < p_.size() && p_[p + 1] == ']') {
            *next = p + 2;
            return upper == case_.Upper(p_[p]);
        }
        bool taken = false;
        while (p < p_.size()) {
            char32_t member = p_[p++];
            if (member == ']') {
                *next = p;
                return taken;
            }
            if (taken) {
                continue;
            }
            // A range's first character was taken as a member already, so "[z-x]" holds z.
            if (member == '-' && p_[p - 2] != '[' && p < p_.size() && p_[p] != ']') {
                taken = case_.Upper(p_[p - 2]) <= upper && upper <= case_.Upper(p_[p]);
                ++p;
            } else {
                taken = upper == case_.Upper(member);
            }
        }
        return false;
    }

    std::u32string p_;
    LetterCase case_;
};

const char* BehindLastSeparator(const char* text) {
    const char* name = text;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p == '\\' || *p == '/') {
            name = p + 1;
        }
    }
    return name;
}

}  // namespace

int CmpNameWildcard(const char* pattern, const char* string, int skipPath, WildcardText text) {
    const char* s = string != nullptr ? string : "";
    if (skipPath != 0) {
        s = BehindLastSeparator(s);
    }
    Matcher matcher(Decode(pattern != nullptr ? pattern : "", text), text);
    return matcher.Matches(Decode(s, text)) ? 1 : 0;
}
