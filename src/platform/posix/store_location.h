// Where the two databases live: the folders the environment names, made when missing and
// private to the user, with the links in them resolved; and the checks that keep a folder
// below the shared /tmp ours.
#pragma once

#include <string>

#include "windows_api.h"

namespace velmora::registry {

struct StoreFolder {
    std::string path;
    // The folder below /tmp that `path` lies in when nothing better is named; others can make
    // it first, so it must be found to be ours before the store goes inside. Empty otherwise.
    std::string sharedBase;
};

// The folder of `store` (a VelmoraStoreId) as the environment names it, found without
// touching the file system. ERROR_SUCCESS, or the status of the fault recorded (no home).
LONG ConfiguredFolder(int store, StoreFolder* folder);

// Makes `folder` ready for the database of `store`: the shared base is checked, missing
// folders are made with mode 0700, and `real` receives the path with every link resolved.
// ERROR_SUCCESS, or the status of the fault recorded.
LONG PrepareFolder(int store, const StoreFolder& folder, std::string* real);

}  // namespace velmora::registry
