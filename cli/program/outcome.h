// What a call into the module came to, as the host saw it: the active panel sent to a
// directory, a command typed into the host's command line, an error box shown. The velmora program
// turns this into its output and exit status.
#pragma once

#include <string>
#include <vector>

#include "sim_host.h"

struct Outcome {
    enum Kind {
        kDone,       // carried out; `text`, when not empty, says what it changed besides
        kDirectory,  // a jump: `text` is the directory
        kCommand,    // `text` is a command for the host's command line (another plugin's)
        kPanel,      // the module opened its panel
        kFailed,     // not carried out, and the module has said why or there is nothing to say
        kNotFound,   // `text` says which name is stored nowhere
        kRefused,    // not tried; `text` says why
        kStoreFailed,
    };
    Kind kind = kDone;
    std::string text;
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
    // The boxes with only an OK button the module showed: its error reports. A box that only
    // shows a store's fault is none: the command may have been done all the same.
    std::vector<MessageCall> ErrorBoxes(const SimHost& host) const;
    // The module offered a menu (of names to complete).
    bool AskedMenu(const SimHost& host) const { return host.menus.size() > menus_; }

  private:
    HANDLE activePlugin_;
    size_t controls_, executed_, messages_, menus_;
};
