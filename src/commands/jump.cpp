// Jumps: posting plugin commands, and the panel's jumps to a stored name.
#include "jump.h"

#include "../host/host_services.h"
#include "../host/module_state.h"
#include "../panel/shortcut_panel.h"
#include "../store/heap.h"
#include "../store/name_store.h"

KeySequence PostedKeys;
const char* PostedText = nullptr;

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

}  // namespace

void PostPluginCommand(const char* text, bool otherPanel) {
    const char* prefix = Settings.Prefix.Text();
    int count = lstrlenA(text) + 1;
    if (otherPanel) {
        count += lstrlenA(prefix) + 3;
    }
    auto* keys = static_cast<DWORD*>(MemAlloc(count * sizeof(DWORD)));
    if (keys == nullptr) {
        return;
    }
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
        PostedText = text;
        // The host copies the keys during the call and plays them after the module returns.
        HostAdvControl(ACTL_POSTKEYSEQUENCE, &PostedKeys);
    } catch (...) {
    }
    PostedText = nullptr;
    MemFree(keys);
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
    if (PluginCommandPos(target) != 0) {
        PostPluginCommand(target, otherPanel);
    } else if (!otherPanel) {
        HostShowDirectory(this, target);
    } else {
        HostControl(this, FCTL_SETANOTHERPANELDIR, target);
        HostControl(this, FCTL_UPDATEANOTHERPANEL, nullptr);
        HostControl(this, FCTL_REDRAWANOTHERPANEL, nullptr);
    }
}
