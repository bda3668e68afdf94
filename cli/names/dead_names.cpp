// Judging stored directories and deleting the names of those that are gone. A directory that is
// only out of reach (a disk away, a link that dangles until it is back) is never taken for gone:
// its name is deleted only on request. A name is deleted from the section it was found in, and
// only while it still holds the target that was judged and that target is judged the same again.
#include "dead_names.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <set>

#include "store_sections.h"
#include "exit_status.h"
#include "look_alike_names.h"
#include "name_table.h"
#include "store/name_store.h"
#include "store_fault.h"
#include "unreachable_names.h"
#include "visible_text.h"

namespace {

std::string ParentOf(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    size_t slash = path.rfind('/');
    return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

// Whether the folder holds anything but "." and "..": false when it cannot be read.
bool HoldsSomething(const std::string& folder) {
    DIR* directory = ::opendir(folder.c_str());
    if (directory == nullptr) {
        return false;
    }
    bool found = false;
    for (const dirent* entry; !found && (entry = ::readdir(directory)) != nullptr;) {
        found = std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0;
    }
    ::closedir(directory);
    return found;
}

// Whether a directory missing from `parent` is known to be gone. An unmounted file system leaves
// its mount point an empty folder, and a mount point (a device other than its own parent's) may
// now hold another file system than the one the directory was on: neither tells.
bool MissingFromReachableParent(const std::string& parent) {
    struct stat info, above;
    if (::stat(parent.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || !HoldsSomething(parent)) {
        return false;
    }
    return ::stat((parent + "/..").c_str(), &above) == 0 && above.st_dev == info.st_dev;
}

bool Deletable(TargetState state, const PruneOptions& options) {
    return state == TargetState::kGone ||
           (options.unreachable && state == TargetState::kUnreachable);
}

struct JudgedName {
    StoreEntry entry;
    TargetState state;
};

// The names (not filters) whose directory is not there; false when the store failed.
bool NamesNotThere(std::vector<JudgedName>* judged) {
    std::vector<StoreEntry> entries;
    bool read = ReadEntries(&entries);
    for (const StoreEntry& entry : entries) {
        TargetState state = entry.section != StoreSection::kFilters ? JudgeTarget(entry.text)
                                                                    : TargetState::kPresent;
        if (state != TargetState::kPresent) {
            judged->push_back({entry, state});
        }
    }
    return read;
}

void AddNote(std::string* notes, const std::string& note) {
    if (!note.empty()) {
        *notes += (notes->empty() ? "" : ", ") + note;
    }
}

// Reads a yes from the terminal, whatever standard input is; where there is none, says the
// command that deletes without the question.
bool ConfirmedOnTerminal(const std::string& question, const PruneOptions& options) {
    std::FILE* tty = std::fopen("/dev/tty", "r+");
    if (tty == nullptr) {
        Say(std::string("there is no terminal to ask whether to delete them, so none was deleted; "
                        "to delete them without a question: `velmora prune ") +
            (options.unreachable ? "--unreachable " : "") + "--yes`");
        return false;
    }
    std::fprintf(tty, "%s [y/N] ", question.c_str());
    std::fflush(tty);
    char answer[16] = "";
    bool yes =
        std::fgets(answer, sizeof answer, tty) != nullptr && (answer[0] == 'y' || answer[0] == 'Y');
    std::fclose(tty);
    return yes;
}

// Deletes the entry while it still holds the target it was judged by, and that target is still
// to be deleted: a disk may have come back while the question waited.
StoreResult DeleteIfUnchanged(const StoreEntry& entry, const PruneOptions& options) {
    StoreValue value;
    StoreResult read = ReadValue(entry.section, entry.name, &value);
    if (read != StoreResult::kDone) {
        return read;
    }
    if (value.type != REG_SZ || value.Text() != entry.text ||
        !Deletable(JudgeTarget(entry.text), options)) {
        return StoreResult::kMissing;
    }
    return DeleteValue(entry.section, entry.name);
}

}  // namespace

TargetState JudgeTarget(const std::string& target) {
    // The module's own test: on this system a path begins with '/', and a command for the file
    // manager has a colon at index 3 or later. A relative path would be judged from wherever
    // the program runs.
    if (target.empty() || target[0] != '/' || PluginCommandPos(target.c_str()) != 0) {
        return TargetState::kPresent;
    }
    struct stat info;
    if (::stat(target.c_str(), &info) == 0) {
        return S_ISDIR(info.st_mode) ? TargetState::kPresent : TargetState::kGone;
    }
    // A file on the way stands where a folder was, on a file system that is there.
    if (errno == ENOTDIR) {
        return TargetState::kGone;
    }
    if (errno != ENOENT || ::lstat(target.c_str(), &info) == 0) {
        // No permission, a failing disk, a loop of links, or the target a link that dangles.
        return TargetState::kUnreachable;
    }
    return MissingFromReachableParent(ParentOf(target)) ? TargetState::kGone
                                                        : TargetState::kUnreachable;
}

std::string FoundNote(TargetState state) {
    if (state == TargetState::kPresent) {
        return "";
    }
    return state == TargetState::kGone ? "gone" : "unreachable";
}

std::vector<std::string> TakePruneOptions(const std::vector<std::string>& words,
                                          PruneOptions* options) {
    std::vector<std::string> left;
    for (const std::string& word : words) {
        if (word == "--yes") {
            options->yes = true;
        } else if (word == "--unreachable") {
            options->unreachable = true;
        } else {
            left.push_back(word);
        }
    }
    return left;
}

int RunCheck() {
    std::vector<StoreEntry> entries;
    bool read = ReadEntries(&entries);
    // What check found of each name, beside what the table notes itself.
    std::vector<std::string> found(entries.size());
    std::vector<std::string> said;
    for (size_t i = 0; i < entries.size(); ++i) {
        const StoreEntry& entry = entries[i];
        if (entry.section == StoreSection::kFilters) {
            continue;
        }
        AddNote(&found[i], FoundNote(JudgeTarget(entry.text)));
        std::string why = WhyUnreachable(entry.name);
        if (!why.empty()) {
            AddNote(&found[i], "panel only");
            said.push_back("no jump reaches '" + entry.name + "', " + why +
                           "; on the panel (`velmora`), Enter goes there and F4 renames it");
        }
    }
    for (const std::vector<size_t>& group : LookAlikeNames(entries)) {
        // A name stored among the temporary and the permanent names is one name, spelled once.
        std::set<std::string> names;
        std::string spellings;
        for (size_t i : group) {
            AddNote(&found[i], "looks like another name");
            if (names.insert(NameKey(entries[i].name)).second) {
                spellings += (spellings.empty() ? "" : " and ") + Spelled(entries[i].name);
            }
        }
        said.push_back(
            "'" + entries[group.front()].name + "' is stored as " + std::to_string(names.size()) +
            " names that look the same but are spelled with different characters (" + spellings +
            "); a jump finds only the one typed the same way: on the panel "
            "(`velmora`), F4 renames the others");
    }
    // Commands are listed too, marked as such: the file manager runs them instead of going to a
    // directory. They count for nothing in the status.
    std::vector<StoreEntry> listed;
    std::vector<std::string> notes;
    for (size_t i = 0; i < entries.size(); ++i) {
        bool command = entries[i].section != StoreSection::kFilters &&
                       PluginCommandPos(entries[i].text.c_str()) != 0;
        if (!found[i].empty() || command) {
            listed.push_back(entries[i]);
            notes.push_back(found[i]);
        }
    }
    WriteTable(listed, notes);
    for (const std::string& line : said) {
        Say(line);
    }
    if (!read) {
        return SayStoreFault();
    }
    bool wrong = std::any_of(found.begin(), found.end(),
                             [](const std::string& note) { return !note.empty(); });
    return wrong ? kExitFailed : kExitDone;
}

int RunPrune(const PruneOptions& options) {
    std::vector<JudgedName> judged;
    if (!NamesNotThere(&judged)) {
        return SayStoreFault();
    }
    std::vector<StoreEntry> doomed;
    std::vector<std::string> found;
    for (const JudgedName& name : judged) {
        if (Deletable(name.state, options)) {
            doomed.push_back(name.entry);
            found.push_back(FoundNote(name.state));
        }
    }
    size_t kept = judged.size() - doomed.size();
    if (kept > 0) {
        bool one = kept == 1;
        Say("kept " + std::to_string(kept) +
            (one ? " name whose directory is" : " names whose directories are") +
            " out of reach, as a disk may only be away; `velmora check` lists " +
            (one ? "it" : "them") + ", and `velmora prune --unreachable` deletes " +
            (one ? "it" : "them") + " too");
    }
    if (doomed.empty()) {
        return kExitDone;
    }
    WriteTable(doomed, found);
    std::fflush(stdout);
    std::string question = "Delete " + std::to_string(doomed.size()) +
                           (doomed.size() == 1 ? " name" : " names") + " whose directory is " +
                           (options.unreachable ? "gone or out of reach?" : "gone?");
    if (!options.yes && !ConfirmedOnTerminal(question, options)) {
        return kExitFailed;
    }
    size_t deleted = 0;
    std::string ofAll = " of " + std::to_string(doomed.size());
    for (const StoreEntry& entry : doomed) {
        StoreResult result = DeleteIfUnchanged(entry, options);
        if (result == StoreResult::kFailed) {
            Say(deleted == 0 ? "none was deleted"
                             : "deleted " + std::to_string(deleted) + ofAll +
                                   "; the others are still stored");
            return SayStoreFault();
        }
        deleted += result == StoreResult::kDone ? 1 : 0;
    }
    Say("deleted " + std::to_string(deleted) + ofAll +
        (deleted < doomed.size()
             ? "; the others were changed elsewhere, or their directories came back, while the "
               "question waited"
             : ""));
    return kExitDone;
}
