// What a command of the module came to, which the velmora program turns into its output and exit
// status; and what a key on the module's panel came to, as the host saw it: the active panel sent
// to a directory, or a command typed into the host's command line.
#pragma once

#include <string>
#include <utility>

#include "sim_host.h"

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

// Notes where the host's records stand before a call and reads what the call added to them.
class CallWatch {
  public:
    explicit CallWatch(SimHost& host);

    // The module asked the host to show a directory on the active panel, closing its own panel
    // (FCTL_CLOSEPLUGIN) or moving a file panel (FCTL_SETPANELDIR, far2l's way): a jump.
    bool Jumped(const SimHost& host) const;
    // The first command line the host ran for another plugin, or empty.
    std::string Executed(const SimHost& host) const;

  private:
    HANDLE activePlugin_;
    size_t controls_, executed_;
};
