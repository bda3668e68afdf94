// What a command of the module, or a key on its panel, came to, which the velmora program turns
// into its output and exit status.
#pragma once

#include <string>
#include <utility>

struct Outcome {
    enum Kind {
        kDone,       // carried out; `text`, when not empty, says what it changed besides
        kDirectory,  // a jump: `text` is the directory
        kCommand,    // `text` is a command for the host's command line (another plugin's)
        kPanel,      // the module opened its panel
        kFailed,     // not carried out, with nothing to say (a menu cancelled)
        kNotFound,   // `text` says which name is stored nowhere
        kRefused,    // not tried; `text` says why
        kStoreFailed,
    };
    Outcome(Kind what = kDone, std::string said = "") : kind(what), text(std::move(said)) {}

    Kind kind;
    std::string text;
    // A jump to a name the store found: the name as typed and its target as stored, which say
    // what led to the directory should the shell be unable to enter it. Empty otherwise.
    std::string name, stored;
};
