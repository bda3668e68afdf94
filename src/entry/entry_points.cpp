// The module's entry points: start-up, menus and prefix, opening panels from the menus and the
// command line, configuration, and the panel requests passed to their ShortcutPanel.
#include "entry_points.h"

#include "command_line.h"
#include "commands/name_commands.h"
#include "host/error_report.h"
#include "host/host_services.h"
#include "host/messages.h"
#include "host/module_state.h"
#include "host/settings.h"
#include "panel/shortcut_panel.h"
#include "store/errors.h"
#include "store/heap.h"

namespace {

// One-entry lists of the menu texts, refilled by every GetPluginInfo.
const char* DiskMenuSlot[1];
const char* PluginsMenuSlot[1];
const char* ConfigMenuSlot[1];

ShortcutPanel* PanelOf(HANDLE plugin) {
    return static_cast<ShortcutPanel*>(plugin);
}

// A new panel, inside the filter of this name and pattern when there is one, or none when the
// heap refuses its block (nothing is reported then).
HANDLE NewPanel(const char* name, const char* pattern) {
    ShortcutPanel* panel = MemNew<ShortcutPanel>();
    if (panel == nullptr) {
        return INVALID_HANDLE_VALUE;
    }
    if (pattern != nullptr) {
        try {
            panel->SetFilter(name, pattern);
            panel->Refresh();
        } catch (...) {
            MemDelete(panel);
            throw;
        }
    }
    return panel;
}

HANDLE OpenFromCommandLine(const char* text) {
    if (ReadCommand(text).kind == CommandKind::kPanel) {
        return NewPanel(nullptr, nullptr);
    }
    NamedFilter filter;
    int code = ProcessCommandLine(text, &filter);
    if (code == 0) {
        return INVALID_HANDLE_VALUE;
    }
    // A filter named by the text of a command not carried out opens, and the code is dropped.
    if (filter.found) {
        return NewPanel(text, filter.pattern.Text());
    }
    ReportError(code);
    return INVALID_HANDLE_VALUE;
}

}  // namespace

namespace entry {

void SetStartupInfo(const PluginStartupInfo* info) {
    // The settings load uses no host service, so it runs before the services are copied.
    LoadSettings();
    CopyHostServices(info);
}

int GetMinFarVersion() {
    return kMinFarVersion;
}

void GetPluginInfo(PluginInfo* info) {
    DiskMenuSlot[0] = GetMsg(MDiskMenuEntry);
    PluginsMenuSlot[0] = GetMsg(MPluginsMenuEntry);
    ConfigMenuSlot[0] = GetMsg(MConfigMenuEntry);
    info->StructSize = sizeof *info;
    info->Flags = 0;
    info->DiskMenuStrings = DiskMenuSlot;
    info->DiskMenuStringsNumber = Settings.ShowInDiskMenu != 0 ? 1 : 0;
    info->PluginMenuStrings = PluginsMenuSlot;
    info->PluginMenuStringsNumber = Settings.ShowInPluginsMenu != 0 ? 1 : 0;
    info->PluginConfigStrings = ConfigMenuSlot;
    info->PluginConfigStringsNumber = 1;
    info->CommandPrefix = HandOutPrefix();
}

HANDLE OpenPlugin(int openFrom, INT_PTR item) {
    try {
        switch (openFrom) {
            case OPEN_DISKMENU:
            case OPEN_PLUGINSMENU:
                return NewPanel(nullptr, nullptr);
            case OPEN_COMMANDLINE: {
                const char* text = reinterpret_cast<const char*>(item);
                return OpenFromCommandLine(text != nullptr ? text : "");
            }
            default:
                return INVALID_HANDLE_VALUE;
        }
    } catch (...) {
        ReportError(ErrUnexpected);
        return INVALID_HANDLE_VALUE;
    }
}

void ClosePlugin(HANDLE plugin) {
    try {
        MemDelete(PanelOf(plugin));
    } catch (...) {
        ReportError(ErrUnexpected);
    }
}

int Configure(int) {
    try {
        return RunConfigDialog();
    } catch (...) {
        ReportError(ErrUnexpected);
        return 0;
    }
}

void GetOpenPluginInfo(HANDLE plugin, OpenPluginInfo* info) {
    try {
        PanelOf(plugin)->GetOpenPluginInfo(info);
    } catch (...) {
        ReportError(ErrUnexpected);
    }
}

int GetFindData(HANDLE plugin, PluginPanelItem** panelItems, int* itemsNumber, int opMode) {
    try {
        return PanelOf(plugin)->GetFindData(panelItems, itemsNumber, opMode);
    } catch (...) {
        ReportError(ErrUnexpected);
        return 0;
    }
}

int SetDirectory(HANDLE plugin, const char* dir, int opMode) {
    // The host's searches walk a panel's folders without a user: such a walk must not move a
    // panel or close this one, so it finds no folder here.
    if ((opMode & (OPM_FIND | OPM_SILENT)) != 0) {
        return 0;
    }
    try {
        return PanelOf(plugin)->SetDirectory(dir != nullptr ? dir : "");
    } catch (...) {
        ReportError(ErrUnexpected);
        return 0;
    }
}

int ProcessKey(HANDLE plugin, int key, unsigned int controlState) {
    try {
        return PanelOf(plugin)->ProcessKey(key, controlState);
    } catch (...) {
        ReportError(ErrUnexpected);
        return 0;
    }
}

int MakeDirectory(HANDLE plugin, char* name, int opMode) {
    try {
        return PanelOf(plugin)->MakeDirectory(name, opMode);
    } catch (...) {
        ReportError(ErrUnexpected);
        return 0;
    }
}

}  // namespace entry
