// Completing a name that is not stored from the permanent names that begin with it.
#pragma once

#include "../store/text_buffer.h"

// What CompleteName gives when the user cancelled its menu: no name was taken, and no name was
// missed either.
constexpr int kCompletionCancelled = -1;

// 1 with the target when a permanent name beginning with `typed` was taken (at once when it is
// the only one, from a menu when there are several) and is stored; kCompletionCancelled when the
// menu was cancelled; 0 otherwise. A failure after the names were gathered leaves as a thrown
// code.
int CompleteName(const char* typed, TextBuffer& target);
