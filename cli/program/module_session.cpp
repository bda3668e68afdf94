// Starting the module and reading what its commands did. The host cannot see inside the
// module, so an add, a delete or a save of the settings is judged by what the store holds
// afterwards: the module says nothing about a failure while its error boxes are off, and the
// program must not report a name or a setting as stored when it is not.
#include "module_session.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "store_sections.h"
#include "language.h"
#include "shell_commands.h"
#include "commands/name_commands.h"
#include "host/messages.h"
#include "host/module_state.h"
#include "host/settings.h"
#include "store/name_store.h"
#include "store/reg_section.h"
#include "store/text_buffer.h"
#include "store_fault.h"
#include "stored_jump.h"
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

// What an add of `typed` stores, by the store's own rules; the name is empty when there is none.
StoreValue AddedValue(const std::string& typed, const std::string& directory) {
    StoreValue value;
    const char* name = AddedValueName(typed.c_str());
    value.name = name != nullptr ? name : "";
    value.type = REG_SZ;
    TextBuffer joined;
    value.data = AddedTarget(typed.c_str(), directory.c_str(), joined);
    value.data += '\0';
    return value;
}

// Whether the section holds the value; failed when it cannot be read.
StoreResult Holds(StoreSection section, const StoreValue& expected) {
    StoreValue stored;
    StoreResult result = ReadValue(section, expected.name, &stored);
    if (result == StoreResult::kDone &&
        (stored.type != expected.type || stored.data != expected.data)) {
        return StoreResult::kMissing;
    }
    return result;
}

StoreResult Exists(StoreSection section, const std::string& name) {
    StoreValue ignored;
    return ReadValue(section, name, &ignored);
}

// The name as the section spells it (the store compares names without ASCII letter case), with
// its target in `target`; empty when it holds none.
std::string Stored(StoreSection section, const std::string& name, std::string* target) {
    std::string spelling;
    VisitNamesBeginningWith(section, name, [&](const StoreValue& value) {
        if (NameKey(value.name) == NameKey(name)) {
            spelling = value.name;
        }
        return spelling.empty();
    });
    StoreValue value;
    if (spelling.empty() || ReadValue(section, spelling, &value) != StoreResult::kDone) {
        return "";
    }
    *target = value.Text();
    return spelling;
}

// What an add that was done replaced, said so that a directory a name stood for is never lost
// without a word: "alpha now /x (was /y)".
std::string Replaced(StoreSection section, const std::string& name, const std::string& wasName,
                     const std::string& wasTarget) {
    std::string target;
    std::string now = Stored(section, name, &target);
    if (wasName.empty() || now.empty() || (now == wasName && target == wasTarget)) {
        return "";
    }
    std::string was = target == wasTarget ? "" : wasTarget;
    if (now != wasName) {
        was += (was.empty() ? "spelt " : ", spelt ") + wasName;
    }
    return ReplacedText(now, target, was);
}

// Why an add of `typed` stored nothing, when the store said no fault; `name` is the name it
// would have stored.
std::string WhyNotAdded(const std::string& typed, const std::string& name) {
    if (typed.empty()) {
        return "there is no name to store: type it behind + or :";
    }
    if (name.empty()) {
        return "there is no name behind the last colon of '" + typed + "'; nothing was stored";
    }
    if (name.size() > kMaxValueNameLength) {
        return "the name is longer than the " + std::to_string(kMaxValueNameLength) +
               " bytes a name may have; nothing was stored";
    }
    return "'" + name + "' was not stored";
}

Outcome::Kind KindOf(StoreResult result) {
    switch (result) {
        case StoreResult::kDone:
            return Outcome::kDone;
        case StoreResult::kMissing:
            return Outcome::kFailed;
        default:
            return Outcome::kStoreFailed;
    }
}

// The module deletes the permanent name when there is one, else the temporary one.
Outcome Deleted(StoreResult wasPermanent, StoreResult wasTemporary, const std::string& name) {
    if (name.empty()) {
        return {Outcome::kRefused, "there is no name to delete: type it behind -"};
    }
    StoreSection section = StoreSection::kKeys;
    if (wasPermanent == StoreResult::kFailed ||
        (wasPermanent == StoreResult::kMissing && wasTemporary == StoreResult::kFailed)) {
        return {Outcome::kStoreFailed, ""};
    }
    if (wasPermanent == StoreResult::kMissing) {
        if (wasTemporary == StoreResult::kMissing) {
            return {Outcome::kNotFound, NoName(name)};
        }
        section = StoreSection::kTempKeys;
    }
    switch (Exists(section, name)) {
        case StoreResult::kMissing:
            return {Outcome::kDone, ""};
        case StoreResult::kDone:
            // The module's delete found the name and the store kept it: a full disk, a file
            // the user may only read, another process's write lock.
            return {Outcome::kStoreFailed, "'" + name + "' is still stored; it was not deleted"};
        default:
            return {Outcome::kStoreFailed, ""};
    }
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

// A box's text as the program's messages read: its lines behind the title, from a small letter.
std::string InOwnWords(const MessageCall& box) {
    std::string line = box.lines.size() > 1 ? "" : box.lines.empty() ? "" : box.lines[0];
    for (size_t i = 1; i < box.lines.size(); ++i) {
        line += (i > 1 ? ": " : "") + box.lines[i];
    }
    bool word = line.size() > 1 && std::isupper(static_cast<unsigned char>(line[1])) == 0;
    if (!line.empty() && line[0] >= 'A' && line[0] <= 'Z' && (line.size() == 1 || word)) {
        line[0] = static_cast<char>(line[0] - 'A' + 'a');
    }
    return line;
}

// What the module's error boxes came to, said by the program as its own messages are, since the
// program says every outcome after the call; the box that says the store failed, which the
// store's own account of its fault says better, is the store's failure.
Outcome FromBoxes(const std::vector<MessageCall>& boxes, const std::string& storeFailed) {
    std::string said;
    for (const MessageCall& box : boxes) {
        if (box.lines.size() > 1 && box.lines[1] == storeFailed) {
            return {Outcome::kStoreFailed, ""};
        }
        said += (said.empty() ? "" : "; ") + InOwnWords(box);
    }
    return {Outcome::kRefused, said};
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
    host_->farVersion = MakeHostVersion(2, 6);
    host_->dotsSelectable = false;
    host_->SetFrontEnd(frontEnd);
    host_->Active().curDir = directory;
    host_->Passive().curDir = directory;
    // The prefix names the shell's command here: the settings dialog refuses one that cannot.
    CheckNewPrefix = ChosenPrefixCheck;
    host_->AttachModule(&exports_);
    return true;
}

Outcome ModuleSession::Run(const std::string& text) {
    char command = text.empty() ? 0 : text[0];
    std::string name = text.empty() ? "" : text.substr(1);
    // The host's record would cut a longer directory; a name must never lead to a cut path.
    if ((command == '+' || command == ':') &&
        host_->Active().curDir.size() > kLongestStoredDirectory) {
        return {Outcome::kRefused, "the current directory is longer than " +
                                       std::to_string(kLongestStoredDirectory) +
                                       " bytes, more than the file manager's panels hold whole; "
                                       "nothing was stored"};
    }
    // A delete is judged by where the name was before: the permanent name goes first.
    StoreResult wasPermanent = StoreResult::kMissing;
    StoreResult wasTemporary = StoreResult::kMissing;
    // An add is judged by what the section holds afterwards, and says what it replaced.
    StoreSection section = command == ':' ? StoreSection::kKeys : StoreSection::kTempKeys;
    StoreValue added;
    std::string wasName, wasTarget;
    if (command == '+' || command == ':') {
        added = AddedValue(name, host_->Active().curDir);
        if (!added.name.empty()) {
            wasName = Stored(section, added.name, &wasTarget);
        }
    }
    if (command == '-') {
        wasPermanent = Exists(StoreSection::kKeys, name);
        if (wasPermanent == StoreResult::kMissing) {
            wasTemporary = Exists(StoreSection::kTempKeys, name);
        }
    }
    CallWatch watch(*host_);
    host_->RunModuleCommand(text);
    SimPanel& active = host_->Active();
    if (active.plugin != nullptr) {
        return {Outcome::kPanel, ""};
    }
    if (watch.Jumped(*host_)) {
        return {Outcome::kDirectory, active.curDir};
    }
    std::string executed = watch.Executed(*host_);
    if (!executed.empty()) {
        return {Outcome::kCommand, executed};
    }
    // A miss the module reported is said as every miss, whether its error boxes are on or not.
    std::vector<MessageCall> boxes = watch.ErrorBoxes(*host_);
    std::string missText = host_->Message(MNameNotFound);
    bool missed = !boxes.empty() && boxes.front().lines.size() > 1 &&
                  boxes.front().lines[1].compare(0, missText.size(), missText) == 0;
    if (!boxes.empty() && !missed) {
        return FromBoxes(boxes, host_->Message(MRegistryError));
    }
    if (command == '+' || command == ':') {
        Outcome::Kind kind = KindOf(Holds(section, added));
        // An add that a busy or broken store kept out failed because of the store, which says
        // why; what was not done is said first.
        if (kind == Outcome::kFailed && !StoreFaults().empty()) {
            return {Outcome::kStoreFailed, WhyNotAdded(name, added.name)};
        }
        if (kind == Outcome::kFailed) {
            return {Outcome::kRefused, WhyNotAdded(name, added.name)};
        }
        return {kind,
                kind == Outcome::kDone ? Replaced(section, added.name, wasName, wasTarget) : ""};
    }
    if (command == '-') {
        return Deleted(wasPermanent, wasTemporary, name);
    }
    // A jump that went nowhere: the name is stored nowhere, or its menu was cancelled.
    if (watch.AskedMenu(*host_) && !missed) {
        return {Outcome::kFailed, ""};
    }
    return {Outcome::kNotFound, MissedJump(text)};
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
