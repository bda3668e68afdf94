// The wrapper around far2l's services: posted keys that hold UTF-8 text are typed as far2l can
// (far2l_keys.h), and the lines of a message box are split to fit far2l's screen
// (far2l_box_lines.h). What may be typed at all, the module's posting decides, as on every host.
#include "far2l_services.h"

#include <cstring>
#include <string>
#include <vector>

#include "far2l_box_lines.h"
#include "far2l_keys.h"

namespace {

class Far2lServices {
  public:
    void Wrap(const PluginStartupInfo* host, FARAPIADVCONTROL advControl, FARAPIMESSAGE message) {
        hostControl_ = host->Control;
        hostAdvControl_ = host->AdvControl;
        hostMessage_ = host->Message;
        std::memcpy(&forModule_, host, sizeof forModule_);
        forModule_.AdvControl = advControl;
        forModule_.Message = message;
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

    int Message(INT_PTR moduleNumber, DWORD flags, const char* helpTopic, const char* const* items,
                int count, int buttons) {
        try {
            std::vector<std::string> lines = FitBoxLines(items, count, ScreenWidth());
            std::vector<const char*> fitted;
            for (const std::string& line : lines) {
                fitted.push_back(line.c_str());
            }
            return hostMessage_(moduleNumber, flags, helpTopic, fitted.data(),
                                static_cast<int>(fitted.size()), buttons);
        } catch (...) {
            return hostMessage_(moduleNumber, flags, helpTopic, items, count, buttons);
        }
    }

  private:
    // The screen's width as the two panels span it, or 0 when far2l describes neither.
    int ScreenWidth() {
        int width = 0;
        for (int command : {FCTL_GETPANELINFO, FCTL_GETANOTHERPANELINFO}) {
            PanelInfo info;
            std::memset(&info, 0, sizeof info);
            int right =
                hostControl_(INVALID_HANDLE_VALUE, command, &info) != 0 ? info.PanelRect.right : 0;
            width = right > 0 && right + 1 > width ? right + 1 : width;
        }
        return width;
    }

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
    FARAPIMESSAGE hostMessage_ = nullptr;
    PluginStartupInfo forModule_{};
};

// The host's services are plain function pointers that carry no object, so the module's table
// reaches the wrapper through the one instance.
Far2lServices services;

INT_PTR WINAPI AdvControlThroughWrapper(INT_PTR moduleNumber, int command, void* param) {
    return services.AdvControl(moduleNumber, command, param);
}

int WINAPI MessageThroughWrapper(INT_PTR moduleNumber, DWORD flags, const char* helpTopic,
                                 const char* const* items, int count, int buttons) {
    return services.Message(moduleNumber, flags, helpTopic, items, count, buttons);
}

}  // namespace

const PluginStartupInfo* WrapFar2lServices(const PluginStartupInfo* host) {
    services.Wrap(host, AdvControlThroughWrapper, MessageThroughWrapper);
    return services.ForModule();
}
