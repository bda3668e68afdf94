// Wildcard matching for the stand-in host. Patterns come from stored filters, which users
// write freely, so the match runs in time proportional to pattern times text at worst rather
// than trying every split of the text between the stars.
#include "wildcard.h"

namespace {

unsigned char FoldCase(char c) {
    const unsigned char byte = static_cast<unsigned char>(c);
    return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

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

int CmpNameWildcard(const char* pattern, const char* string, int skipPath) {
    const char* p = pattern != nullptr ? pattern : "";
    const char* s = string != nullptr ? string : "";
    if (skipPath != 0) {
        s = BehindLastSeparator(s);
    }
    // Only the latest star needs to be retried: whatever an earlier star would take on top
    // of its current run, the latest star can take just as well.
    const char* starInPattern = nullptr;
    const char* resumeInString = nullptr;
    while (*s != '\0') {
        if (*p == '*') {
            starInPattern = p++;
            resumeInString = s;
        } else if (*p != '\0' && (*p == '?' || FoldCase(*p) == FoldCase(*s))) {
            ++p;
            ++s;
        } else if (starInPattern != nullptr) {
            p = starInPattern + 1;
            s = ++resumeInString;
        } else {
            return 0;
        }
    }
    while (*p == '*') {
        ++p;
    }
    return *p == '\0' ? 1 : 0;
}
