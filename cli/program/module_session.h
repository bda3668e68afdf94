// The module as the velmora program runs it: linked in, given the stand-in host with both
// panels at the current directory, and asked to carry out a text behind the prefix or to show
// its settings.
#pragma once

#include <memory>
#include <string>

#include "front_end.h"
#include "linked_module.h"
#include "outcome.h"
#include "sim_host.h"

class ModuleSession {
  public:
    ModuleSession() = default;
    // Closes the module's panels, as the host does when it ends.
    ~ModuleSession();
    ModuleSession(const ModuleSession&) = delete;
    ModuleSession& operator=(const ModuleSession&) = delete;

    // Reads the module's texts and starts it; false with the reason when that fails.
    bool Start(FrontEnd* frontEnd, std::string* error);

    SimHost& Host() { return *host_; }
    // The prefix as the module gives it to the host.
    std::string Prefix() const { return host_->Prefix(); }

    // Runs `text` as the command line behind the prefix.
    Outcome Run(const std::string& text);
    // Runs the configuration dialog: done when the settings were saved or the dialog cancelled,
    // a store failure when the store does not hold what was chosen.
    Outcome Configure();

  private:
    ModuleExports exports_ = LinkedModuleExports();
    std::unique_ptr<SimHost> host_;
};
