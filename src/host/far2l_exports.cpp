// The exports as far2l finds them (plain C names, default visibility, no calling convention),
// and the adaptations to far2l's ways that the module's code need not know of: the extra key
// calls, posted text that far2l cannot type, paths that must use '/', and the faults of the
// module's own store files, which far2l's users would otherwise never hear of.
#include <string>
#include <vector>

#include "../abi/plugin_abi.h"
#include "../platform/store_faults.h"
#include "entry_points.h"
#include "far2l_paths.h"
#include "host_services.h"
#include "messages.h"


namespace {

// far2l calls ProcessKey up to four times per key press: a pre-processing pass with this bit
// set in the key (TRUE there swallows the key), the key itself, and two key-release calls.
constexpr int kPreprocessKey = 0x80000;
constexpr int kKeyRelease = 0x1;

constexpr DWORD kTab = 9;
constexpr DWORD kEnter = 13;

// The host's own services, which the module's copies are redirected around.
FARAPICONTROL HostControlService = nullptr;
FARAPIADVCONTROL HostAdvControlService = nullptr;

int WINAPI Far2lControl(HANDLE plugin, int command, void* param) {
    bool takesDirectory = command == FCTL_CLOSEPLUGIN || command == FCTL_SETPANELDIR ||
                          command == FCTL_SETANOTHERPANELDIR;
    if (takesDirectory && param != nullptr) {
        try {
            std::string path = Far2lPath(static_cast<const char*>(param));
            return HostControlService(plugin, command, &path[0]);
        } catch (...) {
            // Without memory for the copy the path goes as the module made it.
        }
    }
    return HostControlService(plugin, command, param);
}

// Whether far2l types this posted value as the character it stands for: ASCII, and code
// points whose bits 0x100 and 0x200 are clear (higher ones with either bit are taken for
// special keys, and 0x80 to 0xFF are dropped).
bool Typeable(DWORD codePoint) {
    return (codePoint >= 0x20 && codePoint < 0x7F) ||
           (codePoint >= 0x100 && (codePoint & 0x300) == 0);
}

// Decodes UTF-8 into code points; false on a malformed sequence.
bool DecodeUtf8(const std::string& text, std::vector<DWORD>& codePoints) {
    for (size_t i = 0; i < text.size();) {
        unsigned char lead = static_cast<unsigned char>(text[i]);
        int length = lead < 0x80           ? 1
                     : (lead >> 5) == 0x6  ? 2
                     : (lead >> 4) == 0xE  ? 3
                     : (lead >> 3) == 0x1E ? 4
                                           : 0;
        if (length == 0 || i + length > text.size()) {
            return false;
        }
        DWORD codePoint = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length; ++k) {
            unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) {
                return false;
            }
            codePoint = (codePoint << 6) | (next & 0x3F);
        }
        codePoints.push_back(codePoint);
        i += length;
    }
    return true;
}

bool IsAscii(const std::string& text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

// Appends a text run as far2l can type it; false when some character cannot be typed.
bool AppendTyped(const std::string& run, std::vector<DWORD>& keys) {
    std::vector<DWORD> codePoints;
    if (!DecodeUtf8(run, codePoints)) {
        return false;
    }
    for (DWORD codePoint : codePoints) {
        if (!Typeable(codePoint)) {
            return false;
        }
    }
    keys.insert(keys.end(), codePoints.begin(), codePoints.end());
    return true;
}

// The module posts each byte of a text as a key, which far2l cannot do for UTF-8: it drops
// bytes from 0x80 up. The module's sequences are text runs, each ended by Enter, with Tabs
// between them to change panels. A first run that is not ASCII goes into the command line at
// once and only its Enter is posted; the command line is the same on both panels, so a Tab
// before that Enter does not disturb it. Later runs are typed as code points where far2l can;
// a run it cannot type ends the sequence before it, rather than running a part of a command.
INT_PTR PostKeys(INT_PTR moduleNumber, KeySequence* posted) {
    bool ascii = true;
    for (int i = 0; i < posted->Count; ++i) {
        ascii = ascii && posted->Sequence[i] < 0x80;
    }
    if (ascii) {
        return HostAdvControlService(moduleNumber, ACTL_POSTKEYSEQUENCE, posted);
    }
    std::vector<DWORD> keys;
    std::string commandLine;
    std::string run;
    bool firstRun = true;
    for (int i = 0; i <= posted->Count; ++i) {
        DWORD key = i < posted->Count ? posted->Sequence[i] : kEnter;
        if (key != kTab && key != kEnter) {
            run += static_cast<char>(key);
            continue;
        }
        if (!run.empty()) {
            if (firstRun && !IsAscii(run)) {
                commandLine = run;
            } else if (!AppendTyped(run, keys)) {
                break;
            }
            firstRun = false;
            run.clear();
        }
        if (i < posted->Count) {
            keys.push_back(key);
        }
    }
    if (!commandLine.empty()) {
        HostControlService(INVALID_HANDLE_VALUE, FCTL_SETCMDLINE, &commandLine[0]);
    }
    if (keys.empty()) {
        return 0;
    }
    KeySequence sequence;
    sequence.Flags = posted->Flags;
    sequence.Count = static_cast<int>(keys.size());
    sequence.Sequence = keys.data();
    return HostAdvControlService(moduleNumber, ACTL_POSTKEYSEQUENCE, &sequence);
}

INT_PTR WINAPI Far2lAdvControl(INT_PTR moduleNumber, int command, void* param) {
    if (command == ACTL_POSTKEYSEQUENCE && param != nullptr) {
        try {
            return PostKeys(moduleNumber, static_cast<KeySequence*>(param));
        } catch (...) {
            return 0;
        }
    }
    return HostAdvControlService(moduleNumber, command, param);
}

// The registry's status codes cannot say which store file is at fault or how, and with
// ShowErrors off (the default) a store that cannot be used looks like an empty one. So the
// first fault each store records in a session is shown, after the call that met it; a fault
// of the settings load, before the host's services are there, waits for the first such call.
bool faultShown[2];

void ShowStoreFaults() {
    for (int store : {kVelmoraPersistentStore, kVelmoraVolatileStore}) {
        char line[4352];
        if (faultShown[store] || VelmoraStoreFault(store, line, sizeof line) == kStoreFaultNone) {
            continue;
        }
        faultShown[store] = true;
        const char* lines[2] = {GetMsg(MErrorTitle), line};
        HostMessage(FMSG_MB_OK, lines, 2);
    }
}

template <class Result>
Result AfterStoreUse(Result result) {
    ShowStoreFaults();
    return result;
}

}  // namespace

VELMORA_EXPORT void SetStartupInfo(const PluginStartupInfo* Info) {
    entry::SetStartupInfo(Info);
    // Every call of the module goes through the copies in Host, so redirecting them there
    // reaches every caller.
    HostControlService = Host.Info.Control;
    HostAdvControlService = Host.Info.AdvControl;
    Host.Info.Control = Far2lControl;
    Host.Info.AdvControl = Far2lAdvControl;
}

// far2l's kMinFarVersion: far2l refuses a module asking for more than 2.6, and reads the
// Windows host's 1.70 build 1282 as far more.
VELMORA_EXPORT int GetMinFarVersion() {
    return entry::GetMinFarVersion();
}

VELMORA_EXPORT void GetPluginInfo(PluginInfo* Info) {
    entry::GetPluginInfo(Info);
}

VELMORA_EXPORT HANDLE OpenPlugin(int OpenFrom, INT_PTR Item) {
    return AfterStoreUse(entry::OpenPlugin(OpenFrom, Item));
}

VELMORA_EXPORT void ClosePlugin(HANDLE hPlugin) {
    entry::ClosePlugin(hPlugin);
}

VELMORA_EXPORT int Configure(int ItemNumber) {
    return AfterStoreUse(entry::Configure(ItemNumber));
}

VELMORA_EXPORT void GetOpenPluginInfo(HANDLE hPlugin, OpenPluginInfo* Info) {
    entry::GetOpenPluginInfo(hPlugin, Info);
}

VELMORA_EXPORT int GetFindData(HANDLE hPlugin, PluginPanelItem** pPanelItem, int* pItemsNumber,
                               int OpMode) {
    return entry::GetFindData(hPlugin, pPanelItem, pItemsNumber, OpMode);
}

VELMORA_EXPORT int SetDirectory(HANDLE hPlugin, const char* Dir, int OpMode) {
    return AfterStoreUse(entry::SetDirectory(hPlugin, Dir, OpMode));
}

VELMORA_EXPORT int ProcessKey(HANDLE hPlugin, int Key, unsigned int ControlState) {
    // Only the key itself reaches the module: the pre-processing pass and the key releases
    // would run each action up to three times.
    if ((Key & kPreprocessKey) != 0 || (ControlState & PKF_PREPROCESS) != 0) {
        return FALSE;
    }
    if (Key == kKeyRelease && ControlState == 0) {
        return FALSE;
    }
    return AfterStoreUse(entry::ProcessKey(hPlugin, Key, ControlState));
}

VELMORA_EXPORT int MakeDirectory(HANDLE hPlugin, char* Name, int OpMode) {
    return AfterStoreUse(entry::MakeDirectory(hPlugin, Name, OpMode));
}
