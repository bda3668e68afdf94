// The module's failure codes. The bottom layers throw a code by value (a key that cannot be
// opened, memory that cannot be had); the store and the command dispatcher return codes, with
// 0 for success; the entry points catch whatever is left.
#pragma once

#include <cstdint>

enum terrors_t : int32_t {
    ErrNotFound = 1,
    ErrRegistry = 2,
    ErrNoMemory = 3,
    ErrUnexpected = 4,
    ErrEmptyName = 5,
    // An add refused before anything was written: the name holds '/' or '\', the host
    // handed over a current directory that fills its field and so may be cut, or the name
    // begins with a command character.
    ErrNameWithSeparator = 6,
    ErrDirectoryTooLong = 7,
    ErrNameBeginsWithCommand = 8,
    // An add on a panel that has no directory of its own (a plugin's, this module's), and a
    // delete without a name.
    ErrPanelWithoutDirectory = 9,
    ErrNoNameToDelete = 10,
    // Also refused before anything was written: a name holding '?' or '*', which may stand for
    // a letter the host could not hand over and would match other names in a completion; a
    // current directory the host could not hand over whole (it holds the '?' of such a letter,
    // or a look-alike of it); a target that begins with the module's own prefix, which typed
    // into the command line would come back here and run again without end.
    ErrNameWithWildcard = 11,
    ErrDirectoryNotWhole = 12,
    ErrTargetRunsPrefix = 13,
    // A command not carried out with nothing more to say of it: the user cancelled its question,
    // or was told already why.
    ErrNoReport = 14,
};
