// Canonical decomposition: each character replaced by the characters it stands for, again until
// none is left to replace, then each run of combining marks put in the order of their combining
// classes, marks of one class keeping their order. Hangul syllables decompose by rule; everything
// else by the tables made from Unicode's data.
#include "look_alike_names.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "store/utf8.h"

namespace {

struct Decomposition {
    char32_t code, first, second;  // second is 0 for a decomposition into one character
};
struct CombiningRun {
    char32_t first, last;
    unsigned char combiningClass;
};
#include "unicode_tables.inc"

// Where the bytes of a name that are no UTF-8 go: past every code point, one unit each.
constexpr char32_t kByteUnits = 0x110000;

// Hangul syllables: a leading consonant, a vowel and, for all but one in 28, a trailing one.
constexpr char32_t kHangulFirst = 0xAC00, kHangulCount = 11172;
constexpr char32_t kLeadFirst = 0x1100, kVowelFirst = 0x1161, kTrailBefore = 0x11A7;
constexpr char32_t kVowels = 21, kTrails = 28;

void Decompose(char32_t code, std::u32string* out) {
    if (code >= kHangulFirst && code < kHangulFirst + kHangulCount) {
        char32_t index = code - kHangulFirst;
        out->push_back(kLeadFirst + index / (kVowels * kTrails));
        out->push_back(kVowelFirst + index % (kVowels * kTrails) / kTrails);
        if (index % kTrails != 0) {
            out->push_back(kTrailBefore + index % kTrails);
        }
        return;
    }
    const Decomposition* end = std::end(kDecompositions);
    const Decomposition* found = std::lower_bound(
        std::begin(kDecompositions), end, code,
        [](const Decomposition& entry, char32_t wanted) { return entry.code < wanted; });
    if (found == end || found->code != code) {
        out->push_back(code);
        return;
    }
    Decompose(found->first, out);
    if (found->second != 0) {
        Decompose(found->second, out);
    }
}

unsigned char CombiningClass(char32_t code) {
    const CombiningRun* end = std::end(kCombiningRuns);
    const CombiningRun* run = std::upper_bound(
        std::begin(kCombiningRuns), end, code,
        [](char32_t wanted, const CombiningRun& entry) { return wanted < entry.first; });
    if (run == std::begin(kCombiningRuns)) {
        return 0;
    }
    --run;
    return code <= run->last ? run->combiningClass : 0;
}

// The characters of `name`, and each byte that is no part of a well-formed one as a unit above
// every code point.
std::u32string Units(const std::string& name) {
    std::u32string units;
    const auto* bytes = reinterpret_cast<const unsigned char*>(name.data());
    for (size_t i = 0; i < name.size();) {
        char32_t code = 0;
        size_t length = Utf8Length(bytes + i, name.size() - i, &code);
        units.push_back(length != 0 ? code : bytes[i] < 0x80 ? bytes[i] : kByteUnits + bytes[i]);
        i += length != 0 ? length : 1;
    }
    return units;
}

bool BeyondAscii(const std::string& name) {
    return std::any_of(name.begin(), name.end(),
                       [](char byte) { return static_cast<unsigned char>(byte) >= 0x80; });
}

}  // namespace

std::u32string CanonicalForm(const std::string& name) {
    std::u32string form;
    for (char32_t unit : Units(name)) {
        Decompose(unit, &form);
    }
    for (size_t start = 0; start < form.size();) {
        size_t end = start;
        while (end < form.size() && CombiningClass(form[end]) != 0) {
            ++end;
        }
        std::stable_sort(form.begin() + start, form.begin() + end, [](char32_t a, char32_t b) {
            return CombiningClass(a) < CombiningClass(b);
        });
        start = end + 1;
    }
    return form;
}

std::vector<std::vector<size_t>> LookAlikeNames(const std::vector<StoreEntry>& entries) {
    // Only a name beyond ASCII has another form; an ASCII name is its own canonical form.
    std::map<std::u32string, std::vector<size_t>> byForm;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].section != StoreSection::kFilters && BeyondAscii(entries[i].name)) {
            byForm[CanonicalForm(entries[i].name)].push_back(i);
        }
    }
    std::vector<std::vector<size_t>> groups;
    for (const auto& form : byForm) {
        const std::vector<size_t>& group = form.second;
        // The same name in the temporary and the permanent names is one name twice, no look-alike.
        bool differ = std::any_of(group.begin(), group.end(), [&](size_t i) {
            return NameKey(entries[i].name) != NameKey(entries[group.front()].name);
        });
        if (differ) {
            groups.push_back(group);
        }
    }
    return groups;
}

std::string Spelled(const std::string& name) {
    std::string spelled;
    for (char32_t unit : Units(name)) {
        if (unit < 0x80 || unit >= kByteUnits) {
            spelled += static_cast<char>(unit < 0x80 ? unit : unit - kByteUnits);
            continue;
        }
        char shown[16];
        std::snprintf(shown, sizeof shown, "<U+%04X>", static_cast<unsigned>(unit));
        spelled += shown;
    }
    return spelled;
}
