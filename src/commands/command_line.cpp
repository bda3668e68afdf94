// The command dispatcher. The first character alone decides the command, so a name that
// begins with '+', ':' or '-' cannot be reached from the command line.
#include "command_line.h"

#include "../abi/plugin_abi.h"
#include "../host/host_services.h"
#include "../host/module_state.h"
#include "../store/errors.h"
#include "../store/name_store.h"
#include "completion_menu.h"
#include "jump.h"

namespace {

int Add(const char* name, bool permanent) {
    PanelInfo info;
    // Without a description of the panel, or on a panel with no directory (a plugin's, this
    // module's own), there is no directory to store, and storing one nobody asked for would be
    // worse than storing none.
    if (!HostPanelInfo(INVALID_HANDLE_VALUE, FCTL_GETPANELINFO, info) || info.CurDir[0] == '\0') {
        return ErrUnexpected;
    }
    return AddName(name, info.CurDir, permanent);
}

int Jump(const char* text) {
    TextBuffer name;
    TextBuffer rest;
    TextBuffer target;
    SplitName(text, name, rest);
    int found = LookupName(name.Text(), target);
    if (found != 1 && Settings.AutoComplite != 0) {
        found = CompleteName(name.Text(), target);
    }
    if (found != 1) {
        if (Settings.ShowErrors != 0) {
            LastUnknownName.Assign(text);
        }
        return ErrNotFound;
    }
    if (rest.capacity != 0) {
        target.Append("\\").Append(rest.Text());
    }
    if (PluginCommandPos(target.Text()) != 0) {
        PostPluginCommand(target.Text(), false);
    } else {
        HostShowDirectory(INVALID_HANDLE_VALUE, target.data);
    }
    return 0;
}

}  // namespace

void SplitName(const char* text, TextBuffer& name, TextBuffer& rest) {
    name.Assign(text);
    for (char* p = name.data; *p != '\0'; ++p) {
        if (*p == '/' || *p == '\\') {
            *p = '\0';
            rest.Assign(p + 1);
            return;
        }
    }
}

int ProcessCommandLine(const char* text) {
    text = text != nullptr ? text : "";
    try {
        switch (text[0]) {
            case '+':
            case ':':
                return Add(text + 1, text[0] == ':');
            case '-':
                return DeleteName(text + 1, false);
            default:
                return Jump(text);
        }
    } catch (terrors_t code) {
        return code;
    } catch (...) {
        return ErrUnexpected;
    }
}
