// Starting the module and saying what its commands came to. Each command is the module's own
// operation, which says what it did and why it did not (name_commands.h): the program words the
// result, and reads the store afterwards only where the module cannot see, the settings the
// dialog saved.
#include "module_session.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "commands/name_commands.h"
#include "host/error_report.h"
#include "far2l/far2l_entry_points.h"
#include "host/module_state.h"
#include "host/settings.h"
#include "language.h"
#include "shell_commands.h"
#include "store/name_store.h"
#include "store/reg_section.h"
#include "store_fault.h"
#include "store_sections.h"
#include "stored_jump.h"
#include "value_name_limit.h"
#include "visible_text.h"

namespace {

// The current directory as the shell names it: $PWD when it is this directory (so a path
// through a symbolic link is stored as the user sees it), else the physical one.
std::string CurrentDirectory() {
    char* path = get_current_dir_name();
    if (path == nullptr) {
        return "";
    }
    std::string directory = path;
    std::free(path);
    return directory;
}

// The spelling under which `section` holds `name` before an add: the store compares names
// without ASCII letter case, and an add gives the name the spelling typed. Empty when it holds
// none.
std::string StoredSpelling(StoreSection section, const char* name) {
    std::string spelling;
    VisitNamesBeginningWith(section, name, [&](const StoreValue& value) {
        if (NameKey(value.name) == NameKey(name)) {
            spelling = value.name;
        }
        return spelling.empty();
    });
    return spelling;
}

// What an add that was done replaced, said so that a directory a name stood for is never lost
// without a word: "alpha now /x (was /y)", and the spelling the name had, when another.
std::string Replaced(const CommandResult& result, const std::string& spelling) {
    std::string now = result.name.Text();
    std::string target = result.target.Text();
    std::string wasName = spelling.empty() ? now : spelling;
    std::string wasTarget = result.was.Text();
    if (!result.replaced || (now == wasName && target == wasTarget)) {
        return "";
    }
    std::string was = target == wasTarget ? "" : wasTarget;
    if (now != wasName) {
        was += (was.empty() ? "spelt " : ", spelt ") + wasName;
    }
    return ReplacedText(now, target, was);
}

// What a jump that found its target comes to: the directory for the shell, or the command for
// the file manager; false when the module refuses to type the command, which it says in its own
// words. A directory goes to the shell's cd, not to the host's panel, whose limits are not the
// shell's.
bool Found(const CommandResult& result, Outcome* outcome) {
    bool command = PluginCommandPos(result.target.Text()) != 0;
    if (command && result.refusal != 0) {
        return false;
    }
    *outcome = {command ? Outcome::kCommand : Outcome::kDirectory, result.target.Text()};
    outcome->name = result.name.Text();
    outcome->stored = result.was.Text();
    return true;
}

// The settings as the module holds them, in the values it saves them as. The highlighting switch
// is left out: it is always on, whatever is stored.
std::vector<StoreValue> HeldSettings() {
    std::vector<StoreValue> values;
    for (const StoredOption& option : kStoredOptions) {
        if (option.number == &SettingsRecord::UseHighlighting) {
            continue;
        }
        StoreValue value;
        value.name = option.name;
        if (option.number == nullptr) {
            value.type = REG_SZ;
            value.data = std::string(Settings.Prefix.Text()) + '\0';
        } else {
            DWORD number = Settings.*option.number;
            value.type = REG_DWORD;
            value.data.assign(reinterpret_cast<const char*>(&number), sizeof number);
        }
        values.push_back(value);
    }
    return values;
}

// A message of the module as the program's messages read: from a small letter, unless the
// word it begins with is all capitals.
std::string InOwnWords(std::string line) {
    bool word = line.size() > 1 && std::isupper(static_cast<unsigned char>(line[1])) == 0;
    if (!line.empty() && line[0] >= 'A' && line[0] <= 'Z' && (line.size() == 1 || word)) {
        line[0] = static_cast<char>(line[0] - 'A' + 'a');
    }
    return line;
}

// The settings dialog's check of a new prefix, which names the shell's command here; the text
// lives until the next check.
const char* ChosenPrefixCheck(const char* prefix, bool* refused) {
    static std::string said;
    PrefixVerdict verdict = JudgeChosenPrefix(prefix);
    *refused = verdict.refused;
    said = verdict.problem.empty() ? ""
           : verdict.refused       ? verdict.problem + ". Choose another, such as cd: or j."
                                   : verdict.problem + ". OK takes " + prefix + " all the same.";
    return said.empty() ? nullptr : said.c_str();
}

}  // namespace

ModuleSession::~ModuleSession() {
    if (host_ != nullptr) {
        host_->ClosePanel(host_->Active());
        host_->ClosePanel(host_->Passive());
    }
}

bool ModuleSession::Start(FrontEnd* frontEnd, std::string* error) {
    std::string directory = CurrentDirectory();
    if (directory.empty()) {
        *error =
            "the current directory cannot be read (it may have been deleted); go into "
            "another and run the command again";
        return false;
    }
    std::string warning;
    std::vector<std::string> messages = ModuleTexts(&warning);
    if (!warning.empty()) {
        Say(warning);
    }
    host_ = std::make_unique<SimHost>(std::move(messages));
    // The host is far2l, whose records the module was built for: a file panel is moved with
    // FCTL_SETPANELDIR, as far2l ignores FCTL_CLOSEPLUGIN there.
    TakeBuiltHostsWays(*host_);
    host_->SetFrontEnd(frontEnd);
    host_->Active().curDir = directory;
    host_->Passive().curDir = directory;
    // The prefix names the shell's command here: the settings dialog refuses one that cannot.
    CheckNewPrefix = ChosenPrefixCheck;
    host_->AttachModule(&exports_);
    return true;
}

Outcome ModuleSession::Run(const std::string& text) {
    TypedCommand command = ReadCommand(text.c_str());
    switch (command.kind) {
        case CommandKind::kJump:
            return Jump(text);
        case CommandKind::kAddTemporary:
        case CommandKind::kAddPermanent:
            return Add(command.text, command.kind == CommandKind::kAddPermanent);
        case CommandKind::kDelete:
            return Delete(command.text);
        default:
            host_->RunModuleCommand(text);
            return {Outcome::kPanel, ""};
    }
}

Outcome ModuleSession::Jump(const std::string& text) {
    CommandResult result;
    ResolveJump(text.c_str(), nullptr, result);
    Outcome outcome;
    switch (result.reason) {
        case CommandReason::kDone:
            return Found(result, &outcome) ? outcome : Refused(result, result.target.Text());
        case CommandReason::kFilter:
            // The panel opens as the prefix alone opens it, and enters the filter as the host
            // enters a folder: the command is not run again, nor its menu offered twice.
            host_->RunModuleCommand("");
            host_->EnterFolder(text);
            return {Outcome::kPanel, ""};
        case CommandReason::kMenuCancelled:
            return {Outcome::kFailed, ""};
        case CommandReason::kNotStored:
            return {Outcome::kNotFound, MissedJump(text)};
        case CommandReason::kStoreFailed:
            return {Outcome::kStoreFailed, ""};
        default:
            return Refused(result);
    }
}

Outcome ModuleSession::Add(const std::string& name, bool permanent) {
    const char* valueName = AddedValueName(name.c_str());
    std::string spelling =
        valueName == nullptr
            ? ""
            : StoredSpelling(permanent ? StoreSection::kKeys : StoreSection::kTempKeys, valueName);
    CommandResult result;
    AddNameCommand(name.c_str(), host_->Active().curDir.c_str(), permanent, result);
    switch (result.reason) {
        case CommandReason::kDone:
            return {Outcome::kDone, Replaced(result, spelling)};
        case CommandReason::kNoNameBehindColon:
            return {Outcome::kRefused,
                    "there is no name behind the last colon of '" + name + "'; nothing was stored"};
        case CommandReason::kNameTooLong:
            return {Outcome::kRefused, "the name is longer than the " +
                                           std::to_string(kLongestValueName) +
                                           " bytes a name may have; nothing was stored"};
        case CommandReason::kDirectoryTooLong:
            return {Outcome::kRefused, "the current directory is longer than " +
                                           std::to_string(kLongestStoredDirectory) +
                                           " bytes, more than the file manager's panels hold "
                                           "whole; nothing was stored"};
        case CommandReason::kStoreFailed:
        case CommandReason::kNoMemory:
        case CommandReason::kUnexpected:
            // What was not done is said first, then the store's fault, which says why.
            return {StoreFaults().empty() ? Outcome::kRefused : Outcome::kStoreFailed,
                    "'" + std::string(valueName) + "' was not stored"};
        default:
            return Refused(result);
    }
}

Outcome ModuleSession::Delete(const std::string& name) {
    CommandResult result;
    DeleteNameCommand(name.c_str(), result);
    switch (result.reason) {
        case CommandReason::kDone:
            return {Outcome::kDone, ""};
        case CommandReason::kNotStored:
            return {Outcome::kNotFound, NoName(name)};
        case CommandReason::kNoNameToDelete:
            return Refused(result);
        case CommandReason::kStillStored:
            // A full disk, a file the user may only read, another process's write lock.
            return {Outcome::kStoreFailed, "'" + name + "' is still stored; it was not deleted"};
        default:
            return {Outcome::kStoreFailed, ""};
    }
}

Outcome ModuleSession::Refused(const CommandResult& result, const std::string& subject) const {
    int message =
        result.refusal != 0 ? result.refusal : ErrorMessageTable[ReasonCode(result.reason)];
    std::string line = InOwnWords(host_->Message(message));
    if (!subject.empty()) {
        line += ": " + VisibleText(subject);
    }
    return {Outcome::kRefused, line};
}

Outcome ModuleSession::Configure() {
    std::vector<StoreValue> before = HeldSettings();
    bool confirmed = host_->Configure() != 0;
    std::vector<StoreValue> chosen = HeldSettings();
    // A save the store refused may have left the dialog's result 0, as a cancel does; the
    // settings the module holds tell the two apart.
    bool unchanged =
        std::equal(chosen.begin(), chosen.end(), before.begin(), before.end(),
                   [](const StoreValue& a, const StoreValue& b) { return a.data == b.data; });
    if (!confirmed && unchanged) {
        return {Outcome::kDone, ""};
    }
    for (const StoreValue& setting : chosen) {
        StoreValue stored;
        if (ReadValue(StoreSection::kRoot, setting.name, &stored) != StoreResult::kDone ||
            stored.type != setting.type || stored.data != setting.data) {
            return {Outcome::kStoreFailed, "the settings were not saved"};
        }
    }
    return {Outcome::kDone, ""};
}

bool AnswerFromStore(const std::string& text, Outcome* outcome) {
    if (ReadCommand(text.c_str()).kind != CommandKind::kJump) {
        return false;
    }
    far2l::StartWithoutHost();
    CommandResult result;
    ResolveJump(text.c_str(), PermanentNameBeginsWith, result);
    if (result.reason == CommandReason::kDone) {
        return Found(result, outcome);
    }
    // A stored name goes first, then a path to a directory, then a miss.
    std::string directory;
    if (TypedDirectory(text, &directory)) {
        *outcome = {Outcome::kDirectory, directory};
        return true;
    }
    if (result.reason == CommandReason::kNotStored) {
        *outcome = {Outcome::kNotFound, MissedJump(text)};
        return true;
    }
    return false;
}
