// The Windows host as the scenarios expect it: Far 1.70's layout and ways, which the stand-in
// host has by default, and its texts in a code page.
#include "scenario_host.h"

void DescribeHost(SimHost&) {}

const bool kFar2lHost = false;

std::string HostPath(const std::string& windowsPath) {
    return windowsPath;
}

const char kLetterBeyondAscii[] = "\xE9";

std::vector<DWORD> TypedKeys(const std::string& text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    return std::vector<DWORD>(bytes, bytes + text.size());
}

const std::vector<int> kModulePanelJump = {FCTL_CLOSEPLUGIN};
const std::vector<int> kFilePanelJump = {FCTL_CLOSEPLUGIN};

// 1.70 build 1282.
const int kAcceptedMinFarVersion = 0x05020146;

const int kDoubleClickKey = KEY_LBUTTON;

// 400 bytes in the 64-bit hosts, 366 in the 32-bit one (packed to 2), the find data first.
const HostItemLayout kHostItem =
    sizeof(void*) == 8 ? HostItemLayout{400, 44, 336, 0} : HostItemLayout{366, 44, 334, 0};
