// The module as the velmora program runs it: loaded from its file the way the host loads it,
// given the stand-in host with both panels at the current directory, and asked to carry out a
// text behind the prefix or to show its settings.
#pragma once

#include <memory>
#include <string>

#include "front_end.h"
#include "module_exports.h"
#include "outcome.h"
#include "sim_host.h"

class ModuleSession {
  public:
    ModuleSession() = default;
    // Closes the module's panels before the module is unloaded, as the host does.
    ~ModuleSession();
    ModuleSession(const ModuleSession&) = delete;
    ModuleSession& operator=(const ModuleSession&) = delete;

    // Loads the module and its texts and starts it; false with the reason when that fails.
    bool Start(FrontEnd* frontEnd, std::string* error);

    SimHost& Host() { return *host_; }
    // The prefix as the module gives it to the host.
    std::string Prefix() const { return host_->Prefix(); }

    // Runs `text` as the command line behind the prefix.
    Outcome Run(const std::string& text);
    // Runs the configuration dialog; true when the settings were saved.
    bool Configure();

  private:
    LoadedModule module_;
    std::unique_ptr<SimHost> host_;
};
