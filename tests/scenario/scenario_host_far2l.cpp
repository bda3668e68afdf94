// far2l as the scenarios expect it: version 2.6, its key calls and panel listing, '/' paths,
// UTF-8 texts and its own layout of the records.
#include "scenario_host.h"

#include <algorithm>

void DescribeHost(SimHost& host) {
    TakeBuiltHostsWays(host);
    host.keyPasses = true;
}

const bool kFar2lHost = true;

std::string HostPath(const std::string& windowsPath) {
    std::string path = windowsPath;
    if (path.size() >= 2 && path[1] == ':') {
        path = "/" + path.substr(0, 1) + path.substr(2);
    }
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

const char kLetterBeyondAscii[] = "\xC3\xA9";

std::vector<DWORD> TypedKeys(const std::string& text) {
    std::vector<DWORD> keys;
    for (unsigned char c : text) {
        if (c >= 0x80) {
            return {};
        }
        keys.push_back(c);
    }
    return keys;
}

const std::vector<int> kModulePanelJump = {FCTL_GETPANELINFO, FCTL_CLOSEPLUGIN};
const std::vector<int> kFilePanelJump = {FCTL_GETPANELINFO, FCTL_SETPANELDIR, FCTL_REDRAWPANEL};

// far2l reads (major << 16) | minor and loads a module asking for at most 2.6.
const int kAcceptedMinFarVersion = 0x00020006;

// far2l passes a double click as Enter.
const int kDoubleClickKey = KEY_RETURN;

// far2l's item: its own find data (attributes at 40, a 255-byte name at 48), 376 bytes in all.
const HostItemLayout kHostItem = {376, 48, 320, 40};
