// Jumps: posting plugin commands, and the panel's jumps to a stored name.
#include "jump.h"

#include <string>

#include "../host/control_bytes.h"
#include "../host/error_report.h"
#include "../host/host_services.h"
#include "../host/messages.h"
#include "../host/module_state.h"
#include "../panel/shortcut_panel.h"
#include "../store/heap.h"
#include "../store/name_store.h"
#include "target_rules.h"

KeySequence PostedKeys;

namespace {

constexpr DWORD kTab = 9;
constexpr DWORD kEnter = 13;

// Each character is typed as its 8-bit code, taken unsigned so that 128 to 255 stay themselves.
DWORD* TypeText(DWORD* keys, const char* text) {
    for (const char* p = text; *p != '\0'; ++p) {
        *keys++ = static_cast<unsigned char>(*p);
    }
    return keys;
}

// Shows refusal `message` naming `text`, its control characters written out.
void Refuse(int message, const char* text) {
    ShowRefusal(message, VisibleText(text, false, Host.CodePageTexts).c_str());
}

// Types `text` and Enter as PostPluginCommand says, once the text is known to be one that may
// be typed.
bool PostKeys(const char* text, bool otherPanel) {
    const char* prefix = Settings.Prefix.Text();
    int count = lstrlenA(text) + 1;
    if (otherPanel) {
        count += lstrlenA(prefix) + 3;
    }
    auto* keys = static_cast<DWORD*>(MemAlloc(count * sizeof(DWORD)));
    if (keys == nullptr) {
        return false;
    }
    bool posted = false;
    try {
        DWORD* next = keys;
        if (otherPanel) {
            *next++ = kTab;
        }
        next = TypeText(next, text);
        *next++ = kEnter;
        if (otherPanel) {
            *next++ = kTab;
            next = TypeText(next, prefix);
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

}  // namespace

bool PostPluginCommand(const char* text, bool otherPanel) {
    const char* named = nullptr;
    int refusal = TypingRefusal(text, otherPanel, &named);
    if (refusal != 0) {
        Refuse(refusal, named);
        return false;
    }
    return PostKeys(text, otherPanel);
}

bool CarryTarget(HANDLE panel, char* target, bool otherPanel) {
    const char* named = nullptr;
    int refusal = CarryRefusal(target, otherPanel, &named);
    if (refusal != 0) {
        Refuse(refusal, named);
        return false;
    }
    if (PluginCommandPos(target) != 0) {
        return PostKeys(target, otherPanel);
    }
    if (otherPanel) {
        HostControl(panel, FCTL_SETANOTHERPANELDIR, target);
        HostControl(panel, FCTL_UPDATEANOTHERPANEL, nullptr);
        HostControl(panel, FCTL_REDRAWANOTHERPANEL, nullptr);
    } else if (!HostShowDirectory(panel, target)) {
        ReportFault(MNoDirectory, target);
    }
    return true;
}

int ShortcutPanel::GoToName(const char* name) {
    // The name is looked up whole, unsplit at separators and without completion.
    TextBuffer target;
    if (LookupName(name, target) != 1) {
        return 0;
    }
    JumpTo(target.data, false);
    return 1;
}

void ShortcutPanel::JumpTo(char* target, bool otherPanel) {
    CarryTarget(this, target, otherPanel);
}
