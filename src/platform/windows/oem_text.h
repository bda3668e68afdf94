// The host's texts and the system's. The host hands the module every text in its OEM code page
// (Far switches its own file functions to it), while the registry's and process creation's 8-bit
// functions read the ANSI page; so the module's texts cross into the system here, as UTF-16,
// and come back in the OEM page. A character the page cannot write is written <U+XXXX>, which
// reads back as that character, so that no text the system holds is lost on its way through.
#pragma once

#include <windows.h>

#include <string>

// `size` characters of `text` (which may hold zeros) in the OEM page, each character the page
// lacks written <U+XXXX>, and a '<' that would read as such a form written <U+003C>.
std::string ToHostText(const wchar_t* text, size_t size);
// `size` bytes of `text` from the OEM page, each <U+XXXX> read as the character it names.
std::wstring FromHostText(const char* text, size_t size);
std::wstring FromHostText(const char* text);
