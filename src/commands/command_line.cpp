// The command dispatcher. The first character alone decides the command, so a name that
// begins with '+', ':' or '-' cannot be reached from the command line, and an add refuses one.
#include "command_line.h"

#include "../abi/plugin_abi.h"
#include "../host/error_report.h"
#include "../host/host_services.h"
#include "../host/messages.h"
#include "../host/module_state.h"
#include "../panel/panel_updates.h"
#include "../store/errors.h"
#include "../store/name_store.h"
#include "jump.h"
#include "jump_target.h"
#include "name_rule.h"

namespace {

int Add(const char* name, bool permanent) {
    // The name is judged before the panel, so that a missing one is said as such also on a
    // panel without a directory.
    // A name the command line could not reach again is not stored.
    if (int refusal = CheckName(AddedValueName(name)); refusal != 0) {
        return refusal;
    }
    PanelInfo info;
    // Without a description of the panel, or on a panel with no directory (a plugin's, this
    // module's own), there is no directory to store, and storing one nobody asked for would be
    // worse than storing none.
    if (!HostPanelInfo(INVALID_HANDLE_VALUE, FCTL_GETPANELINFO, info)) {
        return ErrUnexpected;
    }
    if (info.CurDir[0] == '\0') {
        return ErrPanelWithoutDirectory;
    }
    if (static_cast<size_t>(lstrlenA(info.CurDir)) > kLongestStoredDirectory) {
        return ErrDirectoryTooLong;
    }
    int code = AddName(name, info.CurDir, permanent);
    if (code == 0) {
        ShowStoreChange(INVALID_HANDLE_VALUE);
    }
    return code;
}

int Delete(const char* name) {
    // The empty value name is a key's default value, which is no name.
    if (name[0] == '\0') {
        return ErrNoNameToDelete;
    }
    int code = DeleteName(name, false);
    if (code == ErrNotFound && Settings.ShowErrors != 0) {
        // The report names what was typed, not the last name a jump missed.
        LastUnknownName.Assign(name);
    }
    if (code == 0) {
        ShowStoreChange(INVALID_HANDLE_VALUE);
    }
    return code;
}

int Jump(const char* text) {
    TextBuffer target;
    if (JumpTarget(text, Host.PathSeparator, Settings.AutoComplite != 0, target) != 1) {
        if (Settings.ShowErrors != 0) {
            LastUnknownName.Assign(text);
        }
        return ErrNotFound;
    }
    if (PluginCommandPos(target.Text()) != 0) {
        PostPluginCommand(target.Text(), false);
    } else if (!HostShowDirectory(INVALID_HANDLE_VALUE, target.data)) {
        ReportFault(MNoDirectory, target.Text());
    }
    return 0;
}

}  // namespace

int ProcessCommandLine(const char* text) {
    text = text != nullptr ? text : "";
    try {
        switch (text[0]) {
            case '+':
            case ':':
                return Add(text + 1, text[0] == ':');
            case '-':
                return Delete(text + 1);
            default:
                return Jump(text);
        }
    } catch (terrors_t code) {
        return code;
    } catch (...) {
        return ErrUnexpected;
    }
}
