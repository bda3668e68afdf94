// The commands as the host's command line carries them out: a jump's target carried to the
// active panel, a change of the store shown on the module's panels, the missed name kept for the
// report, and every result turned into the code the entry point reports.
#include "command_line.h"

#include "abi/plugin_abi.h"
#include "commands/jump.h"
#include "commands/name_commands.h"
#include "host/error_report.h"
#include "host/host_services.h"
#include "host/messages.h"
#include "host/module_state.h"
#include "panel/panel_updates.h"
#include "store/errors.h"
#include "store/name_store.h"

namespace {

void Jump(const char* text, CommandResult& result) {
    ResolveJump(text, nullptr, result);
    switch (result.reason) {
        case CommandReason::kDone:
            // A target refused here is said as such: the command was taken, and nothing else
            // is due.
            CarryTarget(INVALID_HANDLE_VALUE, result.target.data, false);
            break;
        case CommandReason::kLetterNotCompleted:
            ShowRefusal(MNoCompletion, text);
            break;
        case CommandReason::kNotStored:
            if (Settings.ShowErrors != 0) {
                LastUnknownName.Assign(text);
            }
            break;
        default:
            break;
    }
}

void Add(const char* name, bool permanent, CommandResult& result) {
    PanelInfo info;
    bool described = HostPanelInfo(INVALID_HANDLE_VALUE, FCTL_GETPANELINFO, info);
    AddNameCommand(name, described ? info.CurDir : nullptr, permanent, result);
}

void Delete(const char* name, CommandResult& result) {
    DeleteNameCommand(name, result);
    if (result.reason == CommandReason::kNotStored && Settings.ShowErrors != 0) {
        // The report names what was typed, not the last name a jump missed.
        LastUnknownName.Assign(name);
    }
}

}  // namespace

int ProcessCommandLine(const char* text, NamedFilter* filter) {
    text = text != nullptr ? text : "";
    int code = ErrUnexpected;
    // A jump that found no name has looked for a filter of its text already.
    bool looked = false;
    try {
        TypedCommand command = ReadCommand(text);
        CommandResult result;
        bool changesStore = true;
        switch (command.kind) {
            case CommandKind::kAddTemporary:
            case CommandKind::kAddPermanent:
                Add(command.text, command.kind == CommandKind::kAddPermanent, result);
                break;
            case CommandKind::kDelete:
                Delete(command.text, result);
                break;
            default:
                Jump(command.text, result);
                changesStore = false;
                looked = result.reason == CommandReason::kFilter ||
                         result.reason == CommandReason::kNotStored ||
                         result.reason == CommandReason::kMenuCancelled ||
                         result.reason == CommandReason::kLetterNotCompleted;
                break;
        }
        code = ReasonCode(result.reason);
        if (code == 0 && changesStore) {
            ShowStoreChange(INVALID_HANDLE_VALUE);
        }
        if (filter != nullptr && result.reason == CommandReason::kFilter) {
            filter->found = true;
            filter->pattern.Swap(result.target);
        }
    } catch (terrors_t thrown) {
        code = thrown;
    } catch (...) {
        code = ErrUnexpected;
    }
    // Any other text that is no command that could be carried out may name a filter, separators
    // and all.
    if (code != 0 && filter != nullptr && !looked) {
        filter->found = LookupFilter(text, filter->pattern);
    }
    return code;
}
