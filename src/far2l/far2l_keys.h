// Posted keys as far2l types them. The module posts each byte of a text as a key, which far2l
// cannot do for UTF-8: it drops the bytes from 0x80 up. Here such a sequence becomes what far2l
// can take: a command line to set, and keys that are code points.
#pragma once

#include <string>
#include <vector>

#include "platform.h"

struct Far2lTyping {
    // Set into the command line before the keys are posted; empty for none.
    std::string commandLine;
    std::vector<DWORD> keys;
};

// Whether far2l types the sequence as it is posted: every key is ASCII.
bool TypedAsPosted(const DWORD* keys, int count);

// The sequence, a run of text ended by Enter with Tabs between runs to change panels, as far2l
// can type it. A first run that is not ASCII goes into the command line, and only its Enter is
// posted; the command line is the same on both panels, so a Tab before that Enter does not
// disturb it. Later runs are typed as code points where far2l can; a run it cannot type ends
// the sequence before it, rather than running a part of a command.
Far2lTyping TypingFor(const DWORD* keys, int count);
