// The command dispatcher. The first character alone decides the command, so a name that
// begins with '+', ':' or '-' cannot be reached from the command line, and an add refuses one.
#include "command_line.h"

#include <cstring>

#include "../abi/plugin_abi.h"
#include "../host/error_report.h"
#include "../host/host_services.h"
#include "../host/messages.h"
#include "../host/module_state.h"
#include "../panel/panel_updates.h"
#include "../platform/received_directory.h"
#include "../store/errors.h"
#include "../store/name_store.h"
#include "completion_menu.h"
#include "jump.h"
#include "jump_target.h"
#include "name_rule.h"
#include "target_rules.h"

namespace {

// 0 when `dir`, the active panel's directory as the host handed it over, is the whole name of
// the directory the user is in, else the code that refuses it. A '?' or '*' where no path holds
// one is a letter the host could not hand over, as is a look-alike the system tells; a
// directory that fills the host's field may have been cut to it, unless the system tells that
// it was not.
int DirectoryCode(const char* dir) {
    if (HoldsWildcard(dir)) {
        return ErrDirectoryNotWhole;
    }
    switch (VelmoraReceivedDirectory(dir)) {
        case kDirectoryWhole:
            return 0;
        case kDirectoryCut:
            return ErrDirectoryTooLong;
        case kDirectoryReplaced:
            return ErrDirectoryNotWhole;
        case kDirectoryUnknown:
            break;
    }
    return static_cast<size_t>(lstrlenA(dir)) > kLongestStoredDirectory ? ErrDirectoryTooLong : 0;
}

int Add(const char* name, bool permanent) {
    // The name is judged before the panel, so that a missing one is said as such also on a
    // panel without a directory.
    // A name the command line could not reach again, or could not tell from others, is not
    // stored.
    int refused = CheckName(AddedValueName(name));
    if (refused != 0) {
        return refused;
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
    refused = DirectoryCode(info.CurDir);
    if (refused != 0) {
        return refused;
    }
    TextBuffer joined;
    if (ClaimedByPrefix(AddedTarget(name, info.CurDir, joined))) {
        return ErrTargetRunsPrefix;
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
    // A '?' from a Windows host may stand for any letter its code page lacks: completed as a
    // wildcard, it would offer every name of that length and jump somewhere unrelated.
    bool complete = Settings.AutoComplite != 0;
    bool replaced = Host.CodePageTexts && std::strchr(text, '?') != nullptr;
    TextBuffer target;
    int found = JumpTarget(text, Host.PathSeparator, complete && !replaced, target);
    if (found == kCompletionCancelled) {
        return ErrNoReport;
    }
    if (found != 1 && complete && replaced) {
        ShowRefusal(MNoCompletion, text);
        return ErrNoReport;
    }
    if (found != 1) {
        if (Settings.ShowErrors != 0) {
            LastUnknownName.Assign(text);
        }
        return ErrNotFound;
    }
    // A target refused here is said as such: the command was taken, and nothing else is due.
    CarryTarget(INVALID_HANDLE_VALUE, target.data, false);
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
