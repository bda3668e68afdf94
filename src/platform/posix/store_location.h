// Where the two databases live: the folders the environment names, made when missing and
// private to the user, with the links in them resolved; and the checks that keep them the
// user's own, strictest for a folder below the shared /tmp.
#pragma once

#include <string>

#include "windows_api.h"

namespace velmora::registry {

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
