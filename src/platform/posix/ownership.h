// Whether a file or folder of the store is the user's own: another user who owns it, or who may
// write to it, could put names there that the user then jumps to, or read them.
#pragma once

#include <sys/stat.h>

#include <string>

namespace velmora::registry {

// Empty when `info` describes a file or folder that belongs to the user this process runs as
// and that no other user may write to; else what is wrong, for a fault's text.
std::string NotTheUsersOwn(const struct stat& info);

}  // namespace velmora::registry
