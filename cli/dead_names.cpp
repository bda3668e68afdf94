// Finding and deleting names whose directory is gone. A name is deleted from the section it
// was found in, and only while it still holds the target that was judged.
#include "dead_names.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "direct_store.h"
#include "exit_status.h"
#include "name_table.h"
#include "store/name_store.h"
#include "store_fault.h"

namespace {

// The names (not filters) whose directory is gone; false when the store failed.
bool GoneNames(std::vector<StoreEntry>* gone) {
    std::vector<StoreEntry> entries;
    bool read = ReadEntries(&entries);
    for (const StoreEntry& entry : entries) {
        if (entry.section != StoreSection::kFilters && IsGone(entry.text)) {
            gone->push_back(entry);
        }
    }
    return read;
}

// Reads a yes from the terminal, whatever standard input is.
bool ConfirmedOnTerminal(const std::string& question) {
    std::FILE* tty = std::fopen("/dev/tty", "r+");
    if (tty == nullptr) {
        std::fputs("velmora: no terminal to ask; use: velmora prune --yes\n", stderr);
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

// Deletes the entry while it still holds the target it was judged by.
StoreResult DeleteIfUnchanged(const StoreEntry& entry) {
    StoreValue value;
    StoreResult read = ReadValue(entry.section, entry.name, &value);
    if (read != StoreResult::kDone) {
        return read;
    }
    if (value.type != REG_SZ || value.Text() != entry.text) {
        return StoreResult::kMissing;
    }
    return DeleteValue(entry.section, entry.name);
}

}  // namespace

bool IsGone(const std::string& target) {
    // The module's own test: on this system a path begins with '/', and a command for the file
    // manager has a colon at index 3 or later.
    if (target.empty() || PluginCommandPos(target.c_str()) != 0) {
        return false;
    }
    struct stat info;
    if (::stat(target.c_str(), &info) == 0) {
        return !S_ISDIR(info.st_mode);
    }
    return errno == ENOENT || errno == ENOTDIR;
}

int RunCheck() {
    std::vector<StoreEntry> gone;
    bool read = GoneNames(&gone);
    WriteTable(gone);
    if (!read) {
        return SayStoreFault();
    }
    return gone.empty() ? kExitDone : kExitFailed;
}

int RunPrune(bool yes) {
    std::vector<StoreEntry> gone;
    if (!GoneNames(&gone)) {
        return SayStoreFault();
    }
    if (gone.empty()) {
        return kExitDone;
    }
    WriteTable(gone);
    std::fflush(stdout);
    std::string question = "Delete " + std::to_string(gone.size()) +
                           (gone.size() == 1 ? " name" : " names") + " whose directory is gone?";
    if (!yes && !ConfirmedOnTerminal(question)) {
        return kExitFailed;
    }
    size_t deleted = 0;
    for (const StoreEntry& entry : gone) {
        StoreResult result = DeleteIfUnchanged(entry);
        if (result == StoreResult::kFailed) {
            return SayStoreFault();
        }
        deleted += result == StoreResult::kDone ? 1 : 0;
    }
    std::fprintf(stderr, "velmora: deleted %zu of %zu\n", deleted, gone.size());
    return kExitDone;
}
