// The module's side of the host's services.
#include "host_services.h"

#include <cstring>

#include "store/heap.h"

HostServices Host;
KeySequence PostedKeys;

namespace {

// cmd joins and redirects commands with these, escapes with '^', expands '%' and quotes with '"'.
const char kCmdSyntax[] = "&|<>^%\"";

constexpr DWORD kTab = 9;
constexpr DWORD kEnter = 13;

// Each character is typed as its 8-bit code, taken unsigned so that 128 to 255 stay themselves.
DWORD* TypeText(DWORD* keys, const char* text) {
    for (const char* p = text; *p != '\0'; ++p) {
        *keys++ = static_cast<unsigned char>(*p);
    }
    return keys;
}

}  // namespace

void CopyHostServices(const PluginStartupInfo* info) {
    std::memcpy(&Host.Info, info, sizeof Host.Info);
    std::memcpy(&Host.FSF, info->FSF, sizeof Host.FSF);
    int major = HostMajorVersion(HostAdvControl(ACTL_GETFARVERSION, nullptr));
    Host.Major = major >= 1 ? major : 1;
    Host.PathSeparator = '\\';
    Host.SaysFailedMoves = false;
    Host.CodePageTexts = true;
    Host.ShellSyntax = kCmdSyntax;
    Host.ShowStoreFaults = nullptr;
}

const char* GetMsg(int id) {
    const char* text = Host.Info.GetMsg(Host.Info.ModuleNumber, id);
    return text != nullptr ? text : "";
}

int HostMenu(const FarMenuItem* items, int count) {
    return Host.Info.Menu(Host.Info.ModuleNumber, -1, -1, 0, FMENU_WRAPMODE | FMENU_AUTOHIGHLIGHT,
                          "", nullptr, "", nullptr, nullptr, items, count);
}

int HostDialog(int width, int height, FarDialogItem* items, int count) {
    return Host.Info.Dialog(Host.Info.ModuleNumber, -1, -1, width, height, nullptr, items, count);
}

int HostMessage(DWORD flags, const char* const* lines, int count) {
    return Host.Info.Message(Host.Info.ModuleNumber, flags, nullptr, lines, count, 0);
}

int HostControl(HANDLE panel, int command, void* param) {
    return Host.Info.Control(panel, command, param);
}

bool HostPanelInfo(HANDLE panel, int command, PanelInfo& info) {
    std::memset(&info, 0, sizeof info);
    if (!Host.Info.Control(panel, command, &info)) {
        return false;
    }
    info.CurDir[sizeof info.CurDir - 1] = '\0';
    return true;
}

bool HostShowDirectory(HANDLE panel, char* dir) {
    // FCTL_CLOSEPLUGIN moves any panel in the 1.70 host. Later hosts (Far 3 through its wrapper,
    // far2l) take it from a file panel, answer 1 and leave the panel where it was, so there a
    // file panel is moved and redrawn instead; a plugin panel is closed onto the directory on
    // every host.
    if (Host.Major >= 2) {
        PanelInfo info;
        if (HostPanelInfo(panel, FCTL_GETPANELINFO, info) && info.Plugin == 0) {
            bool moved = HostControl(panel, FCTL_SETPANELDIR, dir) != 0;
            HostControl(panel, FCTL_REDRAWPANEL, nullptr);
            return moved || Host.SaysFailedMoves;
        }
    }
    HostControl(panel, FCTL_CLOSEPLUGIN, dir);
    return true;
}

INT_PTR HostAdvControl(int command, void* param) {
    return Host.Info.AdvControl(Host.Info.ModuleNumber, command, param);
}

bool HostCmpName(const char* pattern, const char* text) {
    return Host.Info.CmpName(pattern, text, 0) != 0;
}

bool HostPostText(const char* text, const char* backHere) {
    int count = lstrlenA(text) + 1;
    if (backHere != nullptr) {
        count += lstrlenA(backHere) + 3;
    }
    auto* keys = static_cast<DWORD*>(MemAlloc(count * sizeof(DWORD)));
    if (keys == nullptr) {
        return false;
    }
    bool posted = false;
    try {
        DWORD* next = keys;
        if (backHere != nullptr) {
            *next++ = kTab;
        }
        next = TypeText(next, text);
        *next++ = kEnter;
        if (backHere != nullptr) {
            *next++ = kTab;
            next = TypeText(next, backHere);
            *next++ = kEnter;
        }
        PostedKeys.Flags = 0;
        PostedKeys.Count = count;
        PostedKeys.Sequence = keys;
        // The host copies the keys during the call and plays them after the module returns.
        HostAdvControl(ACTL_POSTKEYSEQUENCE, &PostedKeys);
        posted = true;
    } catch (...) {
    }
    MemFree(keys);
    return posted;
}
