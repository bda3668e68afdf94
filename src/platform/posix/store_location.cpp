// The store's folders: from VELMORA_REGISTRY_DIR or VELMORA_VOLATILE_DIR when set, else below
// the XDG folders, else below the home folder or /tmp; and whether a file or folder of the store
// is the user's own. Links in a folder's path are followed (a ~/.config kept among dotfiles, a
// home reached through a link); the database file itself is opened without following one.
// Folders are made only in the user's own or the system's folders, and a folder another user
// holds on the way is said with the command that gives it back.
#include "store_location.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <set>
#include <vector>

#include "fault_log.h"

namespace velmora::registry {

namespace {

struct UserRecord {
    std::string name, home;
};
// The entry of `uid` in the password database; empty texts when it has none.
UserRecord UserEntry(uid_t uid) {
    // The file is read itself rather than through the system's user database, whose modules a
    // statically linked program cannot load safely.
    UserRecord record;
    if (std::FILE* users = std::fopen("/etc/passwd", "re")) {
        while (const passwd* entry = fgetpwent(users)) {
            if (entry->pw_uid == uid) {
                record.name = entry->pw_name != nullptr ? entry->pw_name : "";
                record.home = entry->pw_dir != nullptr ? entry->pw_dir : "";
                break;
            }
        }
        std::fclose(users);
    }
    return record;
}

// The user's name from the password database, or the number when it names none ("root", "1000").
std::string UserCalled(uid_t uid) {
    std::string name = UserEntry(uid).name;
    return name.empty() ? std::to_string(uid) : name;
}

// The command that gives `path`, and everything below it, back to the user this process runs as.
std::string GiveBackCommand(const std::string& path) {
    // "name:" gives the user's login group too; a user the database does not know has numbers.
    std::string owner = UserCalled(geteuid());
    bool known = owner != std::to_string(geteuid());
    return "sudo chown -R " + owner + ":" + (known ? "" : std::to_string(getegid())) + " " + path;
}

}  // namespace

std::string NotTheUsersOwn(const struct stat& info) {
    if (info.st_uid != geteuid()) {
        return "it belongs to " + std::string(info.st_uid == 0 ? "" : "user ") +
               UserCalled(info.st_uid);
    }
    if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        return "other users can write to it";
    }
    return "";
}

std::string HowToMakeItTheUsersOwn(const struct stat& info, const std::string& path) {
    if (info.st_uid != geteuid()) {
        return "give it back with: " + GiveBackCommand(path);
    }
    if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        return "close it to them with: chmod go-w " + path;
    }
    return "";
}

namespace {

std::string FromEnv(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// $HOME, else the user's entry in the password database.
std::string HomeFolder() {
    std::string home = FromEnv("HOME");
    return home.empty() ? UserEntry(getuid()).home : home;
}

// The notices of this process not yet taken: each said once, however often a store is opened.
std::mutex noticeMutex;
std::set<std::string> noticed;
std::deque<std::string> notices;

void NoteOnce(const std::string& notice) {
    std::lock_guard<std::mutex> lock(noticeMutex);
    if (noticed.insert(notice).second) {
        notices.push_back(notice);
    }
}

// The value of the base-directory variable `name` when it is a full path. Their rules say a
// relative one is to be ignored: taken, a literal "~/.config" would make a new store below every
// directory the user works in.
std::string BaseDirectory(const char* name) {
    std::string value = FromEnv(name);
    if (!value.empty() && value[0] != '/') {
        NoteOnce(std::string(name) + "=" + value + " is not a full path and is ignored, as if " +
                 "unset; set it to a full path, or unset it");
        return "";
    }
    return value;
}

// The folders on the way to `path` that are there, from the root down, links followed, with
// what was found of each; the walk ends at the first that cannot be looked at.
std::vector<std::pair<std::string, struct stat>> FoldersOnTheWay(const std::string& path) {
    std::vector<std::pair<std::string, struct stat>> folders;
    for (size_t end = 0; end != std::string::npos;) {
        end = path.find('/', end + 1);
        std::string prefix = path.substr(0, end);
        struct stat info {};
        if (::stat(prefix.c_str(), &info) != 0) {
            break;
        }
        folders.emplace_back(prefix, info);
    }
    return folders;
}

// Root that takes a user's home for its own (sudo -E keeps the caller's HOME and XDG folders)
// would make the store's folders there, root's, and lock the user out of them and of ~/.config.
// So, for root, a store below another user's folder is refused, and nothing is made there.
LONG RefuseAnotherUsersFolderForRoot(int store, const StoreFolder& folder) {
    if (geteuid() != 0) {
        return ERROR_SUCCESS;
    }
    for (const auto& [path, info] : FoldersOnTheWay(folder.path)) {
        if (info.st_uid != 0) {
            std::string user = UserCalled(info.st_uid);
            return RecordFault(store, kStoreFaultNotOurs, path,
                               "it belongs to user " + user + ", and velmora runs as root with " +
                                   folder.source +
                                   " (sudo -E keeps the caller's), so nothing was made there",
                               "run velmora as user " + user + ", or as root without -E");
        }
    }
    return ERROR_SUCCESS;
}

// The topmost folder on the way to `path` that is not the user's while the one above it is: a
// folder another user (root, run with the user's HOME) made in the user's own. Empty when there
// is none.
std::string TakenFolder(const std::string& path) {
    std::vector<std::pair<std::string, struct stat>> folders = FoldersOnTheWay(path);
    for (size_t i = 1; i < folders.size(); ++i) {
        if (folders[i].second.st_uid != geteuid() && folders[i - 1].second.st_uid == geteuid()) {
            return folders[i].first;
        }
    }
    return "";
}

// Records a folder the store cannot be reached through for `error`: as another user's folder
// with the command that gives it back, when one is on the way, else as what the system said.
LONG CannotReach(int store, const std::string& path, int error) {
    std::string taken = error == EACCES ? TakenFolder(path) : "";
    if (taken.empty()) {
        return RecordFault(store, kStoreFaultCannotOpen, path, std::strerror(error));
    }
    struct stat info {};
    ::stat(taken.c_str(), &info);
    return RecordFault(store, kStoreFaultNotOurs, taken, NotTheUsersOwn(info),
                       "give it back with: " + GiveBackCommand(taken));
}

// What makes `base` unfit to hold a store: not a folder of ours closed to others. Empty when
// it is fit. A link counts as unfit, since whoever made it chose where it points.
std::string WrongWithSharedBase(const std::string& base) {
    struct stat info {};
    if (::lstat(base.c_str(), &info) != 0) {
        return std::strerror(errno);
    }
    if (S_ISLNK(info.st_mode)) {
        return "it is a symbolic link";
    }
    if (!S_ISDIR(info.st_mode)) {
        return "it is not a folder";
    }
    std::string wrong = NotTheUsersOwn(info);
    if (wrong.empty() && (info.st_mode & 077) != 0) {
        wrong = "other users can look into it";
    }
    return wrong;
}

// Records the fault of a folder that is not the user's own (links followed); false then. One that
// another user made in the user's own folder is said with the command that gives it back, one of
// the user's that others can write to with the command that closes it.
bool FolderIsOurs(int store, const std::string& folder) {
    struct stat info {};
    bool found = ::stat(folder.c_str(), &info) == 0;
    std::string wrong = !found                   ? std::strerror(errno)
                        : !S_ISDIR(info.st_mode) ? std::string("it is not a folder")
                                                 : NotTheUsersOwn(info);
    if (wrong.empty()) {
        return true;
    }
    std::string todo;
    if (found && info.st_uid == geteuid()) {
        todo = S_ISDIR(info.st_mode) ? HowToMakeItTheUsersOwn(info, folder) : "move it aside";
    } else {
        // Only a folder in one of the user's own was the user's to have: another user's runtime
        // folder, say, is theirs.
        std::string taken = found ? TakenFolder(folder) : "";
        todo = !taken.empty()
                   ? "give it back with: " + GiveBackCommand(taken)
                   : "name a folder of your own in " + std::string(FolderVariable(store));
    }
    RecordFault(store, kStoreFaultNotOurs, folder, wrong, todo);
    return false;
}

// Creates every missing folder of `path` with mode 0700; a folder that exists, or a link to
// one, is taken as it is.
LONG MakeFolders(int store, const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        return ERROR_SUCCESS;
    }
    // The search for a separator starts behind the first character, which an absolute path's
    // root is, so that a relative path's first folder is made even when it is one letter long.
    std::string parent;
    for (size_t end = 0; end != std::string::npos;) {
        end = path.find('/', end + 1);
        std::string prefix = path.substr(0, end);
        if (::stat(prefix.c_str(), &info) != 0) {
            if (errno != ENOENT) {
                return CannotReach(store, prefix, errno);
            }
            // A folder made in another user's folder would be theirs to move or replace; a
            // folder of the system's (/tmp, /run/user) is no user's.
            struct stat above {};
            if (!parent.empty() && ::stat(parent.c_str(), &above) == 0 &&
                above.st_uid != geteuid() && above.st_uid != 0) {
                return RecordFault(
                    store, kStoreFaultNotOurs, parent,
                    "it belongs to user " + UserCalled(above.st_uid) +
                        ", and velmora makes no folder in another user's",
                    "name a folder of your own in " + std::string(FolderVariable(store)));
            }
            if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) {
                return CannotReach(store, prefix, errno);
            }
        }
        parent = prefix;
    }
    return ERROR_SUCCESS;
}

}  // namespace

const char* FolderVariable(int store) {
    return store == kVelmoraVolatileStore ? "VELMORA_VOLATILE_DIR" : "VELMORA_REGISTRY_DIR";
}

LONG ConfiguredFolder(int store, StoreFolder* folder) {
    folder->sharedBase.clear();
    folder->runtimeBase.clear();
    bool isVolatile = store == kVelmoraVolatileStore;
    const char* own = FolderVariable(store);
    folder->path = FromEnv(own);
    folder->source = std::string(own) + "=" + folder->path;
    if (!folder->path.empty()) {
        // Taken from wherever the program runs, it would be another store in every directory.
        if (folder->path[0] != '/') {
            return RecordFaultText(store, kStoreFaultCannotOpen,
                                   folder->source + " is not a full path: " + NamesOf(store) +
                                       " would be kept below whichever directory you are in; set "
                                       "it to a full path, one that begins with /");
        }
        return ERROR_SUCCESS;
    }
    const char* base = isVolatile ? "XDG_RUNTIME_DIR" : "XDG_CONFIG_HOME";
    std::string xdg = BaseDirectory(base);
    if (!xdg.empty()) {
        folder->runtimeBase = isVolatile ? xdg : "";
        folder->path = xdg + "/velmora/registry";
        folder->source = std::string(base) + "=" + xdg;
        return ERROR_SUCCESS;
    }
    if (isVolatile) {
        folder->sharedBase = "/tmp/velmora-" + std::to_string(getuid());
        folder->path = folder->sharedBase + "/registry";
        // The shared base is checked for its own, so no fault here names the environment.
        folder->source.clear();
        return ERROR_SUCCESS;
    }
    std::string home = HomeFolder();
    if (home.empty()) {
        return RecordFault(
            store, kStoreFaultNoHome, "~/.config/velmora/registry",
            "HOME is unset and /etc/passwd names none for user " + std::to_string(getuid()),
            "set HOME, or name a folder for them in VELMORA_REGISTRY_DIR");
    }
    folder->path = home + "/.config/velmora/registry";
    folder->source = "HOME=" + home;
    return ERROR_SUCCESS;
}

LONG PrepareFolder(int store, const StoreFolder& folder, bool create, std::string* real) {
    if (!folder.sharedBase.empty()) {
        if (create) {
            ::mkdir(folder.sharedBase.c_str(), 0700);
        } else if (::access(folder.sharedBase.c_str(), F_OK) != 0) {
            return ERROR_FILE_NOT_FOUND;
        }
        // Anyone may make that folder first; the user then learns how to go on without it.
        std::string wrong = WrongWithSharedBase(folder.sharedBase);
        if (!wrong.empty()) {
            return RecordFault(
                store, kStoreFaultNotOurs, folder.sharedBase, wrong,
                "they are off for this session: set VELMORA_VOLATILE_DIR to a folder of "
                "your own to keep them");
        }
    }
    if (LONG status = RefuseAnotherUsersFolderForRoot(store, folder); status != ERROR_SUCCESS) {
        return status;
    }
    // A runtime folder that is missing is made below, the user's own.
    if (!folder.runtimeBase.empty() && ::access(folder.runtimeBase.c_str(), F_OK) == 0 &&
        !FolderIsOurs(store, folder.runtimeBase)) {
        return StatusOfFault(kStoreFaultNotOurs);
    }
    if (!create) {
        struct stat info {};
        if (::stat(folder.path.c_str(), &info) != 0 && errno == ENOENT) {
            return ERROR_FILE_NOT_FOUND;
        }
    } else if (LONG status = MakeFolders(store, folder.path); status != ERROR_SUCCESS) {
        return status;
    }
    char resolved[PATH_MAX];
    if (::realpath(folder.path.c_str(), resolved) == nullptr) {
        return CannotReach(store, folder.path, errno);
    }
    if (!FolderIsOurs(store, resolved)) {
        return StatusOfFault(kStoreFaultNotOurs);
    }
    *real = resolved;
    return ERROR_SUCCESS;
}

}  // namespace velmora::registry

int VelmoraTakeStoreNotice(char* text, size_t size) {
    using namespace velmora::registry;
    std::lock_guard<std::mutex> lock(noticeMutex);
    if (notices.empty() || text == nullptr || size == 0) {
        return 0;
    }
    CopyLine(notices.front(), text, size);
    notices.pop_front();
    return 1;
}
