// Saying why a jump's directory cannot be entered. Only a jump that fails reads the names, to
// find the one that led there: a jump that lands pays for a stat and an access.
#include "jump_destination.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "dead_names.h"
#include "store_sections.h"

namespace {

// The error that keeps cd out of `path`, or 0.
int EntryError(const std::string& path) {
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) {
        return errno;
    }
    if (!S_ISDIR(info.st_mode)) {
        return ENOTDIR;
    }
    return ::access(path.c_str(), X_OK) == 0 ? 0 : errno;
}

// Whether a jump to `target` and a rest can lead to `directory`: the rest is joined behind a '/'.
bool Below(const std::string& directory, const std::string& target) {
    return directory.size() > target.size() && directory.compare(0, target.size(), target) == 0 &&
           (target.back() == '/' || directory[target.size()] == '/');
}

// The stored name whose directory is `directory`, or the one with the longest directory that
// `directory` lies below; a jump looks a temporary name up first.
bool LeadingName(const std::string& directory, StoreEntry* leading) {
    std::vector<StoreEntry> entries;
    ReadEntries(&entries);
    bool found = false;
    for (const StoreEntry& entry : entries) {
        if (entry.section == StoreSection::kFilters || entry.text.empty() ||
            (entry.text != directory && !Below(directory, entry.text))) {
            continue;
        }
        bool longer = !found || entry.text.size() > leading->text.size();
        bool temporaryFirst = found && entry.text.size() == leading->text.size() &&
                              entry.section == StoreSection::kTempKeys;
        if (longer || temporaryFirst) {
            *leading = entry;
            found = true;
        }
    }
    return found;
}

}  // namespace

std::string WhyNotThere(const std::string& directory) {
    int error = EntryError(directory);
    if (error == 0) {
        return "";
    }
    std::string cannot = "cannot go to " + directory + ": " + std::strerror(error);
    StoreEntry name;
    if (!LeadingName(directory, &name)) {
        return cannot;
    }
    if (EntryError(name.text) == 0) {
        std::string rest = directory.substr(name.text.size() + (name.text.back() == '/' ? 0 : 1));
        return error == ENOENT ? "there is no folder '" + rest + "' in " + name.text +
                                     ", the directory of '" + name.name + "'"
                               : cannot;
    }
    if (JudgeTarget(name.text) == TargetState::kGone) {
        return "the directory of '" + name.name + "' is gone (" + name.text +
               "); `velmora prune` deletes the names whose directory is gone";
    }
    return "cannot go to " + name.text + ", the directory of '" + name.name +
           "': " + std::strerror(EntryError(name.text));
}
