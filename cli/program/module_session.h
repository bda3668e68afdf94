// The module as the velmora program runs it: linked in, its commands called as the module's own
// operations (commands/name_commands.h) and their results said in the program's words, behind
// the stand-in host with both panels at the current directory, which asks the terminal what the
// module asks (a menu of names, its panel, its settings).
#pragma once

#include <memory>
#include <string>

#include "front_end.h"
#include "linked_module.h"
#include "outcome.h"
#include "sim_host.h"

struct CommandResult;

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
    Outcome Jump(const std::string& text);
    Outcome Add(const std::string& name, bool permanent);
    Outcome Delete(const std::string& name);
    // A refusal in the module's own words: its message for `result`, about `subject` when given.
    Outcome Refused(const CommandResult& result, const std::string& subject = "") const;

    ModuleExports exports_ = LinkedModuleExports();
    std::unique_ptr<SimHost> host_;
};

// A jump answered from the store alone, as most starts of the program are: the module resolves
// it without the host (its language files and the stand-in host would cost the jump more than
// its look-ups do). True with the outcome; false for a text that is no jump, or a jump only the
// host can take further (a menu of names, a filter's panel, a refusal in the module's words).
bool AnswerFromStore(const std::string& text, Outcome* outcome);
