// The commands behind the prefix; see name_commands.h. Every failure is caught here and given
// back as a reason; the working buffers are released on every path.
#include "name_commands.h"

#include <cstring>

#include "host/host_services.h"
#include "host/module_state.h"
#include "jump_target.h"
#include "name_rule.h"
#include "received_directory.h"
#include "store/errors.h"
#include "store/name_store.h"
#include "store/reg_section.h"
#include "target_rules.h"
#include "value_name_limit.h"

namespace {

// The code the host reports for each reason. A code that stands for several reasons gives back
// the first of them (ReasonOf); a reason missing here is reported as ErrUnexpected.
const struct {
    CommandReason reason;
    int code;
} kReasonCodes[] = {
    {CommandReason::kDone, 0},
    {CommandReason::kNotStored, ErrNotFound},
    {CommandReason::kStoreFailed, ErrRegistry},
    {CommandReason::kNoMemory, ErrNoMemory},
    {CommandReason::kNoNameToAdd, ErrEmptyName},
    {CommandReason::kNameWithSeparator, ErrNameWithSeparator},
    {CommandReason::kDirectoryTooLong, ErrDirectoryTooLong},
    {CommandReason::kNameBeginsWithCommand, ErrNameBeginsWithCommand},
    {CommandReason::kNoDirectory, ErrPanelWithoutDirectory},
    {CommandReason::kNoNameToDelete, ErrNoNameToDelete},
    {CommandReason::kNameWithWildcard, ErrNameWithWildcard},
    {CommandReason::kDirectoryNotWhole, ErrDirectoryNotWhole},
    {CommandReason::kTargetRunsPrefix, ErrTargetRunsPrefix},
    {CommandReason::kMenuCancelled, ErrNoReport},
    {CommandReason::kFilter, ErrNotFound},
    {CommandReason::kLetterNotCompleted, ErrNoReport},
    {CommandReason::kNoNameBehindColon, ErrEmptyName},
    // The registry refuses a name longer than it holds, as it refuses any write.
    {CommandReason::kNameTooLong, ErrRegistry},
    {CommandReason::kStillStored, ErrRegistry},
};

CommandReason ReasonOf(int code) {
    for (const auto& entry : kReasonCodes) {
        if (entry.code == code) {
            return entry.reason;
        }
    }
    return CommandReason::kUnexpected;
}

// Runs a command into `result`, starting afresh: a failure that leaves it as a thrown code is
// given back as its reason.
template <class Command>
void Run(CommandResult& result, Command command) {
    result.name.Clear();
    result.target.Clear();
    result.was.Clear();
    result.replaced = false;
    result.refusal = 0;
    try {
        result.reason = command();
    } catch (terrors_t code) {
        result.reason = ReasonOf(code);
    } catch (...) {
        result.reason = CommandReason::kUnexpected;
    }
}

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

// The reason an add of `name`, stored as `valueName` (AddedValueName), refuses the name, or kDone.
CommandReason NameReason(const char* name, const char* valueName) {
    if (valueName == nullptr) {
        return name[0] == '\0' ? CommandReason::kNoNameToAdd : CommandReason::kNoNameBehindColon;
    }
    // A name the command line could not reach again, or could not tell from others, is not
    // stored; nor one the registry refuses.
    int refused = CheckName(valueName);
    if (refused != 0) {
        return ReasonOf(refused);
    }
    return std::strlen(valueName) > kLongestValueName ? CommandReason::kNameTooLong
                                                      : CommandReason::kDone;
}

CommandReason Resolve(const char* text, NameProbe probe, CommandResult& result) {
    // A '?' from a Windows host may stand for any letter its code page lacks: completed as a
    // wildcard, it would offer every name of that length and jump somewhere unrelated.
    bool complete = Settings.AutoComplite != 0;
    bool replaced = Host.CodePageTexts && std::strchr(text, '?') != nullptr;
    TextBuffer name;
    TextBuffer rest;
    SplitName(text, name, rest);
    int found = LookupName(name.Text(), result.target);
    if (found == 1) {
        result.name.Assign(name.Text());
        result.was.Assign(result.target.Text());
    } else if (complete && !replaced) {
        if (probe != nullptr && CompletionMayOffer(name.Text(), probe)) {
            return CommandReason::kAsksHost;
        }
        if (probe == nullptr) {
            found = CompleteName(name.Text(), result.target);
        }
    }
    if (found == 1) {
        JoinRest(result.target, rest, Host.PathSeparator);
        const char* named = nullptr;
        result.refusal = CarryRefusal(result.target.Text(), false, &named);
        return CommandReason::kDone;
    }
    // A text that names no name may name a filter, separators and all.
    if (LookupFilter(text, result.target)) {
        return CommandReason::kFilter;
    }
    return found == kCompletionCancelled ? CommandReason::kMenuCancelled
           : complete && replaced        ? CommandReason::kLetterNotCompleted
                                         : CommandReason::kNotStored;
}

CommandReason Add(const char* name, const char* directory, bool permanent, CommandResult& result) {
    // The name is judged before the directory, so that a missing one is said as such also on a
    // panel without a directory.
    const char* valueName = AddedValueName(name);
    CommandReason refused = NameReason(name, valueName);
    if (refused != CommandReason::kDone) {
        return refused;
    }
    if (directory == nullptr) {
        return CommandReason::kUnexpected;
    }
    // On a panel with no directory (a plugin's, this module's own) there is no directory to
    // store, and storing one nobody asked for would be worse than storing none.
    if (directory[0] == '\0') {
        return CommandReason::kNoDirectory;
    }
    int code = DirectoryCode(directory);
    if (code != 0) {
        return ReasonOf(code);
    }
    TextBuffer joined;
    result.target.Assign(AddedTarget(name, directory, joined));
    if (ClaimedByPrefix(result.target.Text())) {
        return CommandReason::kTargetRunsPrefix;
    }
    result.name.Assign(valueName);
    result.replaced = LookupNameIn(result.name.Text(), !permanent, result.was) == 1;
    return ReasonOf(AddName(name, directory, permanent));
}

CommandReason Delete(const char* name) {
    // The empty value name is a key's default value, which is no name.
    if (name[0] == '\0') {
        return CommandReason::kNoNameToDelete;
    }
    CommandReason reason = ReasonOf(DeleteName(name, false));
    // A delete the store refused may have found the name and kept it (a store that may only
    // be read), or not have reached it at all.
    TextBuffer target;
    if (reason == CommandReason::kStoreFailed && LookupName(name, target) == 1) {
        return CommandReason::kStillStored;
    }
    return reason;
}

}  // namespace

TypedCommand ReadCommand(const char* text) {
    text = text != nullptr ? text : "";
    switch (text[0]) {
        case '\0':
            return {CommandKind::kPanel, text};
        case '+':
            return {CommandKind::kAddTemporary, text + 1};
        case ':':
            return {CommandKind::kAddPermanent, text + 1};
        case '-':
            return {CommandKind::kDelete, text + 1};
        default:
            return {CommandKind::kJump, text};
    }
}

int ReasonCode(CommandReason reason) {
    for (const auto& entry : kReasonCodes) {
        if (entry.reason == reason) {
            return entry.code;
        }
    }
    return ErrUnexpected;
}

void ResolveJump(const char* text, NameProbe probe, CommandResult& result) {
    Run(result, [&] { return Resolve(text != nullptr ? text : "", probe, result); });
}

void AddNameCommand(const char* name, const char* directory, bool permanent,
                    CommandResult& result) {
    Run(result, [&] { return Add(name != nullptr ? name : "", directory, permanent, result); });
}

void DeleteNameCommand(const char* name, CommandResult& result) {
    Run(result, [&] { return Delete(name != nullptr ? name : ""); });
}
