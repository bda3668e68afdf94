// Saying why a jump's directory cannot be entered. A jump that lands pays for a stat and an
// access; one that fails names the stored name that led there, as the jump found it.
#include "jump_destination.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "dead_names.h"

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

}  // namespace

std::string WhyNotThere(const std::string& directory, const std::string& name,
                        const std::string& stored) {
    int error = EntryError(directory);
    if (error == 0) {
        return "";
    }
    std::string cannot = "cannot go to " + directory + ": " + std::strerror(error);
    if (name.empty() || stored.empty() || directory.compare(0, stored.size(), stored) != 0) {
        return cannot;
    }
    if (EntryError(stored) == 0) {
        std::string rest = directory.substr(stored.size() + (stored.back() == '/' ? 0 : 1));
        return error == ENOENT ? "there is no folder '" + rest + "' in " + stored +
                                     ", the directory of '" + name + "'"
                               : cannot;
    }
    if (JudgeTarget(stored) == TargetState::kGone) {
        return "the directory of '" + name + "' is gone (" + stored +
               "); `velmora prune` deletes the names whose directory is gone";
    }
    return "cannot go to " + stored + ", the directory of '" + name +
           "': " + std::strerror(EntryError(stored));
}
