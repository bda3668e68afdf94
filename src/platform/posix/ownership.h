// Whether a file or folder of the store is the user's own: another user who owns it, or who may
// write to it, could put names there that the user then jumps to, or read them. And the words for
// whose it is, for the faults that say so.
#pragma once

#include <sys/stat.h>

#include <string>

namespace velmora::registry {

// Empty when `info` describes a file or folder that belongs to the user this process runs as
// and that no other user may write to; else what is wrong, said of "it" for a fault's text
// ("it belongs to root", "other users can write to it").
std::string NotTheUsersOwn(const struct stat& info);

struct UserRecord {
    std::string name, home;
};
// The entry of `uid` in the password database; empty texts when it has none.
UserRecord UserEntry(uid_t uid);
// The user's name from the password database, or the number when it names none ("root", "1000").
std::string UserCalled(uid_t uid);

// The command that gives `path`, and everything below it, back to the user this process runs as.
std::string GiveBackCommand(const std::string& path);

// What to do about `path`, found as `info` inside the user's own folder, where NotTheUsersOwn
// finds fault with it: a file or folder only root could have put there is given back, one of the
// user's closed to others. Empty where nothing is wrong.
std::string HowToMakeItTheUsersOwn(const struct stat& info, const std::string& path);

}  // namespace velmora::registry
