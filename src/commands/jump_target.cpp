// The look-up of a jump: the name split from its rest, found, and the rest joined.
#include "jump_target.h"

#include "platform.h"
#include "store/name_store.h"

void SplitName(const char* text, TextBuffer& name, TextBuffer& rest) {
    name.Assign(text);
    const char* separator = FirstSeparator(name.Text());
    if (separator != nullptr) {
        char* end = name.data + (separator - name.data);
        *end = '\0';
        rest.Assign(end + 1);
    }
}

const char* FirstSeparator(const char* text) {
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p == '/' || *p == '\\') {
            return p;
        }
    }
    return nullptr;
}

void JoinRest(TextBuffer& target, const TextBuffer& rest, char separator) {
    if (rest.capacity == 0) {
        return;
    }
    // The stored part and the rest stay as they are; only the joint is the host's.
    const char joint[2] = {separator, '\0'};
    uint32_t length = static_cast<uint32_t>(lstrlenA(target.Text()));
    if (length == 0 || target.data[length - 1] != separator) {
        target.Append(joint);
    }
    target.Append(rest.Text());
}

int JumpTarget(const char* text, char separator, TextBuffer& target) {
    TextBuffer name;
    TextBuffer rest;
    SplitName(text, name, rest);
    if (LookupName(name.Text(), target) != 1) {
        return 0;
    }
    JoinRest(target, rest, separator);
    return 1;
}
