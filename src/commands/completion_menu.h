// Completing a name that is not stored from the permanent names that begin with it, through the
// host's match and menu; and what the completion would offer, asked of the store alone by a
// caller that runs without the host.
#pragma once

#include "platform.h"
#include "store/text_buffer.h"

// What CompleteName gives when the user cancelled its menu: no name was taken, and no name was
// missed either.
constexpr int kCompletionCancelled = -1;

// 1 with the target when a permanent name beginning with `typed` was taken (at once when it is
// the only one, from a menu when there are several) and is stored; kCompletionCancelled when the
// menu was cancelled; 0 otherwise. A failure after the names were gathered leaves as a thrown
// code.
int CompleteName(const char* typed, TextBuffer& target);

// Whether a permanent name begins with `prefix`, ASCII letters in either case, as a store that
// indexes its names can say without a walk: ERROR_SUCCESS, ERROR_FILE_NOT_FOUND, or the failure.
using NameProbe = LONG (*)(const char* prefix);
// Whether CompleteName could offer a name for `typed`, asked through `probe` instead of the host:
// false only when the probe says that no permanent name begins with it and the host's match of
// it would say the same, true when a name begins with it or only the host's match can tell.
bool CompletionMayOffer(const char* typed, NameProbe probe);
