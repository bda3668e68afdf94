// The store's folders: from VELMORA_REGISTRY_DIR or VELMORA_VOLATILE_DIR when set, else below
// the XDG folders, else below the home folder or /tmp. Links in a folder's path are followed
// (a ~/.config kept among dotfiles, a home reached through a link); the database file itself is
// opened without following one.
#include "store_location.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fault_log.h"
#include "ownership.h"

namespace velmora::registry {

namespace {

std::string FromEnv(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// $HOME, else the user's entry in /etc/passwd. The file is read itself rather than through the
// system's user database, whose modules a statically linked program cannot load safely.
std::string HomeFolder() {
    std::string home = FromEnv("HOME");
    std::FILE* users = home.empty() ? std::fopen("/etc/passwd", "re") : nullptr;
    if (users != nullptr) {
        while (const passwd* entry = fgetpwent(users)) {
            if (entry->pw_uid == getuid() && entry->pw_dir != nullptr) {
                home = entry->pw_dir;
                break;
            }
        }
        std::fclose(users);
    }
    return home;
}

// What makes `base` unfit to hold a store: not a folder of ours closed to others. Empty when
// it is fit. A link counts as unfit, since whoever made it chose where it points.
std::string WrongWithSharedBase(const std::string& base) {
    struct stat info {};
    if (::lstat(base.c_str(), &info) != 0) {
        return std::strerror(errno);
    }
    if (S_ISLNK(info.st_mode)) {
        return "a symbolic link";
    }
    if (!S_ISDIR(info.st_mode)) {
        return "not a folder";
    }
    std::string wrong = NotTheUsersOwn(info);
    if (wrong.empty() && (info.st_mode & 077) != 0) {
        wrong = "open to other users";
    }
    return wrong;
}

// Records the fault of a folder that is not the user's own (links followed); false then.
bool FolderIsOurs(int store, const std::string& folder) {
    struct stat info {};
    std::string wrong = ::stat(folder.c_str(), &info) != 0 ? std::strerror(errno)
                        : !S_ISDIR(info.st_mode)           ? std::string("not a folder")
                                                           : NotTheUsersOwn(info);
    if (!wrong.empty()) {
        RecordFault(store, kStoreFaultNotOurs, folder, wrong);
    }
    return wrong.empty();
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
    for (size_t end = 0; end != std::string::npos;) {
        end = path.find('/', end + 1);
        std::string prefix = path.substr(0, end);
        if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) {
            RecordFault(store, kStoreFaultCannotOpen, prefix, std::strerror(errno));
            return StatusOfFault(kStoreFaultCannotOpen);
        }
    }
    return ERROR_SUCCESS;
}

}  // namespace

LONG ConfiguredFolder(int store, StoreFolder* folder) {
    folder->sharedBase.clear();
    folder->runtimeBase.clear();
    bool isVolatile = store == kVelmoraVolatileStore;
    folder->path = FromEnv(isVolatile ? "VELMORA_VOLATILE_DIR" : "VELMORA_REGISTRY_DIR");
    if (!folder->path.empty()) {
        return ERROR_SUCCESS;
    }
    std::string xdg = FromEnv(isVolatile ? "XDG_RUNTIME_DIR" : "XDG_CONFIG_HOME");
    if (!xdg.empty()) {
        folder->runtimeBase = isVolatile ? xdg : "";
        folder->path = xdg + "/velmora/registry";
        return ERROR_SUCCESS;
    }
    if (isVolatile) {
        folder->sharedBase = "/tmp/velmora-" + std::to_string(getuid());
        folder->path = folder->sharedBase + "/registry";
        return ERROR_SUCCESS;
    }
    std::string home = HomeFolder();
    if (home.empty()) {
        RecordFault(store, kStoreFaultNoHome, "~/.config/velmora/registry",
                    "HOME is unset and the password database names none for user " +
                        std::to_string(getuid()));
        return StatusOfFault(kStoreFaultNoHome);
    }
    folder->path = home + "/.config/velmora/registry";
    return ERROR_SUCCESS;
}

LONG PrepareFolder(int store, const StoreFolder& folder, bool create, std::string* real) {
    if (!folder.sharedBase.empty()) {
        if (create) {
            ::mkdir(folder.sharedBase.c_str(), 0700);
        } else if (::access(folder.sharedBase.c_str(), F_OK) != 0) {
            return ERROR_FILE_NOT_FOUND;
        }
        std::string wrong = WrongWithSharedBase(folder.sharedBase);
        if (!wrong.empty()) {
            RecordFault(store, kStoreFaultNotOurs, folder.sharedBase, wrong);
            return StatusOfFault(kStoreFaultNotOurs);
        }
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
        RecordFault(store, kStoreFaultCannotOpen, folder.path, std::strerror(errno));
        return StatusOfFault(kStoreFaultCannotOpen);
    }
    if (!FolderIsOurs(store, resolved)) {
        return StatusOfFault(kStoreFaultNotOurs);
    }
    *real = resolved;
    return ERROR_SUCCESS;
}

}  // namespace velmora::registry
