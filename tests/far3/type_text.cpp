// Types a text into the console it runs in, as key presses Far reads once the program has ended:
// the way to type characters beyond ASCII into Far under Wine, whose console gets no such keys
// through tmux. Run from Far's command line, it leaves the text there:
//
//   velmora-type "cd:\u0416\u0443\u043a"     types cd: and three Cyrillic letters
//
// \uXXXX stands for the UTF-16 unit XXXX (a character beyond it is two of them); every other
// character, a backslash too, stands for itself.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <vector>

namespace {

bool IsHex(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}

std::vector<wchar_t> Units(const wchar_t* text) {
    std::vector<wchar_t> units;
    for (size_t i = 0; text[i] != L'\0';) {
        bool escape = text[i] == L'\\' && text[i + 1] == L'u';
        for (size_t k = 2; escape && k < 6; ++k) {
            escape = IsHex(text[i + k]);
        }
        if (escape) {
            wchar_t hex[5] = {text[i + 2], text[i + 3], text[i + 4], text[i + 5], L'\0'};
            units.push_back(static_cast<wchar_t>(std::wcstoul(hex, nullptr, 16)));
            i += 6;
        } else {
            units.push_back(text[i++]);
        }
    }
    return units;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fputs("usage: velmora-type TEXT\n", stderr);
        return 2;
    }
    HANDLE input =
        CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (input == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "velmora-type: no console (error %lu)\n", GetLastError());
        return 1;
    }
    // Each unit is pressed and let go as a packet key, as Windows types text a program sends.
    std::vector<INPUT_RECORD> events;
    for (wchar_t unit : Units(argv[1])) {
        for (BOOL down : {TRUE, FALSE}) {
            INPUT_RECORD event = {};
            event.EventType = KEY_EVENT;
            event.Event.KeyEvent.bKeyDown = down;
            event.Event.KeyEvent.wRepeatCount = 1;
            event.Event.KeyEvent.wVirtualKeyCode = VK_PACKET;
            event.Event.KeyEvent.uChar.UnicodeChar = unit;
            events.push_back(event);
        }
    }
    DWORD written = 0;
    if (!WriteConsoleInputW(input, events.data(), static_cast<DWORD>(events.size()), &written) ||
        written != events.size()) {
        std::fprintf(stderr, "velmora-type: the keys were not written (error %lu)\n",
                     GetLastError());
        return 1;
    }
    return 0;
}
