// The ownership test of the store's files and folders; see ownership.h.
#include "ownership.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdio>

namespace velmora::registry {

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

std::string UserCalled(uid_t uid) {
    std::string name = UserEntry(uid).name;
    return name.empty() ? std::to_string(uid) : name;
}

std::string GiveBackCommand(const std::string& path) {
    // "name:" gives the user's login group too; a user the database does not know has numbers.
    std::string owner = UserCalled(geteuid());
    bool known = owner != std::to_string(geteuid());
    return "sudo chown -R " + owner + ":" + (known ? "" : std::to_string(getegid())) + " " + path;
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

}  // namespace velmora::registry
