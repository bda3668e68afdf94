// Where the two databases live: the folders the environment names, made when missing and
// private to the user, with the links in them resolved; and the checks that keep their files
// and folders the user's own, strictest for a folder below the shared /tmp.
#pragma once

#include <sys/stat.h>

#include <string>

#include "windows_api.h"

namespace velmora::registry {

// Empty when `info` describes a file or folder that belongs to the user this process runs as
// and that no other user may write to; else what is wrong, said of "it" for a fault's text
// ("it belongs to root", "other users can write to it").
std::string NotTheUsersOwn(const struct stat& info);

// What to do about `path`, found as `info` inside the user's own folder, where NotTheUsersOwn
// finds fault with it: a file or folder only root could have put there is given back, one of the
// user's closed to others. Empty where nothing is wrong.
std::string HowToMakeItTheUsersOwn(const struct stat& info, const std::string& path);

struct StoreFolder {
    std::string path;
    // The folder below /tmp that `path` lies in when nothing better is named; others can make
    // it first, so it must be found to be ours before the store goes inside. Empty otherwise.
    std::string sharedBase;
    // The runtime folder that `path` lies in when the environment names one; it must be the
    // user's own as well, or another user could have made the store's folder inside.
    std::string runtimeBase;
    // The environment that chose `path`, for a fault that it explains ("HOME=/home/u").
    std::string source;
};

// The variable that names the folder of `store` (a VelmoraStoreId) outright.
const char* FolderVariable(int store);

// The folder of `store` as the environment names it, found without
// touching the file system. A relative XDG folder is ignored, with a notice; a relative folder of
// our own variables is refused. ERROR_SUCCESS, or the status of the fault recorded.
LONG ConfiguredFolder(int store, StoreFolder* folder);

// Makes `folder` ready for the database of `store`: the bases are checked, missing folders are
// made with mode 0700 when `create` (else a missing folder gives ERROR_FILE_NOT_FOUND and no
// fault), never inside another user's folder, the folder is found to be the user's own, and
// `real` receives the path with every link resolved. Root takes no folder below another user's.
// ERROR_SUCCESS, or the status of the fault recorded.
LONG PrepareFolder(int store, const StoreFolder& folder, bool create, std::string* real);

}  // namespace velmora::registry
