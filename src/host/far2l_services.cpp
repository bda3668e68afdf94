// The wrapper around far2l's services: posted keys that hold UTF-8 text are typed as far2l can
// (far2l_keys.h). What may be typed at all, the module's posting decides, as on every host.
#include "far2l_services.h"

#include <cstring>
#include <string>

#include "far2l_keys.h"

namespace {

class Far2lServices {
  public:
    void Wrap(const PluginStartupInfo* host, FARAPIADVCONTROL advControl) {
        hostControl_ = host->Control;
        hostAdvControl_ = host->AdvControl;
        std::memcpy(&forModule_, host, sizeof forModule_);
        forModule_.AdvControl = advControl;
    }

    const PluginStartupInfo* ForModule() const { return &forModule_; }

    INT_PTR AdvControl(INT_PTR moduleNumber, int command, void* param) {
        if (command == ACTL_POSTKEYSEQUENCE && param != nullptr) {
            try {
                return PostKeys(moduleNumber, static_cast<KeySequence*>(param));
            } catch (...) {
                return 0;
            }
        }
        return hostAdvControl_(moduleNumber, command, param);
    }

  private:
    INT_PTR PostKeys(INT_PTR moduleNumber, KeySequence* posted) {
        if (TypedAsPosted(posted->Sequence, posted->Count)) {
            return hostAdvControl_(moduleNumber, ACTL_POSTKEYSEQUENCE, posted);
        }
        Far2lTyping typing = TypingFor(posted->Sequence, posted->Count);
        if (!typing.commandLine.empty()) {
            hostControl_(INVALID_HANDLE_VALUE, FCTL_SETCMDLINE, &typing.commandLine[0]);
        }
        if (typing.keys.empty()) {
            return 0;
        }
        KeySequence sequence;
        sequence.Flags = posted->Flags;
        sequence.Count = static_cast<int>(typing.keys.size());
        sequence.Sequence = typing.keys.data();
        return hostAdvControl_(moduleNumber, ACTL_POSTKEYSEQUENCE, &sequence);
    }

    FARAPICONTROL hostControl_ = nullptr;
    FARAPIADVCONTROL hostAdvControl_ = nullptr;
    PluginStartupInfo forModule_{};
};

// The host's services are plain function pointers that carry no object, so the module's table
// reaches the wrapper through the one instance.
Far2lServices services;

INT_PTR WINAPI AdvControlThroughWrapper(INT_PTR moduleNumber, int command, void* param) {
    return services.AdvControl(moduleNumber, command, param);
}

}  // namespace

const PluginStartupInfo* WrapFar2lServices(const PluginStartupInfo* host) {
    services.Wrap(host, AdvControlThroughWrapper);
    return services.ForModule();
}
