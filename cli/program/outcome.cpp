// Reading the host's records after a call; each record list only grows.
#include "outcome.h"

CallWatch::CallWatch(SimHost& host)
    : activePlugin_(host.Active().plugin),
      controls_(host.controls.size()),
      executed_(host.executed.size()) {}

bool CallWatch::Jumped(const SimHost& host) const {
    for (size_t i = controls_; i < host.controls.size(); ++i) {
        const ControlCall& call = host.controls[i];
        bool onActive = call.handle == INVALID_HANDLE_VALUE ||
                        (activePlugin_ != nullptr && call.handle == activePlugin_);
        bool shows = call.command == FCTL_CLOSEPLUGIN || call.command == FCTL_SETPANELDIR;
        if (shows && onActive) {
            return true;
        }
    }
    return false;
}

std::string CallWatch::Executed(const SimHost& host) const {
    return executed_ < host.executed.size() ? host.executed[executed_] : "";
}
