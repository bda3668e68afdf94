// The 8-bit string functions on POSIX. As on Windows, a missing text reads as the empty text;
// comparison is by bytes, which is all the module needs of it (equality of names).
#include <cstring>

#include "windows_api.h"

namespace {

const char* TextOrEmpty(LPCSTR text) {
    return text != nullptr ? text : "";
}

}  // namespace

int lstrlenA(LPCSTR lpString) {
    return static_cast<int>(std::strlen(TextOrEmpty(lpString)));
}

LPSTR lstrcpyA(LPSTR lpString1, LPCSTR lpString2) {
    if (lpString1 == nullptr) {
        return nullptr;
    }
    return std::strcpy(lpString1, TextOrEmpty(lpString2));
}

LPSTR lstrcpynA(LPSTR lpString1, LPCSTR lpString2, int iMaxLength) {
    if (lpString1 == nullptr || iMaxLength <= 0) {
        return lpString1;
    }
    const char* source = TextOrEmpty(lpString2);
    int i = 0;
    for (; i < iMaxLength - 1 && source[i] != '\0'; ++i) {
        lpString1[i] = source[i];
    }
    lpString1[i] = '\0';
    return lpString1;
}

LPSTR lstrcatA(LPSTR lpString1, LPCSTR lpString2) {
    if (lpString1 == nullptr) {
        return nullptr;
    }
    return std::strcat(lpString1, TextOrEmpty(lpString2));
}

int lstrcmpA(LPCSTR lpString1, LPCSTR lpString2) {
    return std::strcmp(TextOrEmpty(lpString1), TextOrEmpty(lpString2));
}
