// The ownership test of the store's files and folders; see ownership.h.
#include "ownership.h"

#include <unistd.h>

namespace velmora::registry {

std::string NotTheUsersOwn(const struct stat& info) {
    if (info.st_uid != geteuid()) {
        return "owned by user " + std::to_string(info.st_uid);
    }
    if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        return "writable by other users";
    }
    return "";
}

}  // namespace velmora::registry
