// The hosts say of the other panel only that a plugin shows it, not which one, so the module's
// panel is recognised by its items: each carries the number of its entry and its name.
#include "panel_updates.h"

#include "host/host_services.h"
#include "shortcut_panel.h"

namespace {

// The living panel, other than `except`, that the described panel shows; none when the host
// shows something else there.
ShortcutPanel* PanelShown(const PanelInfo& info, const ShortcutPanel* except) {
    if (info.Plugin == 0) {
        return nullptr;
    }
    for (ShortcutPanel* panel = ShortcutPanel::living; panel != nullptr;
         panel = panel->nextLiving) {
        if (panel != except && panel->Shows(info)) {
            return panel;
        }
    }
    return nullptr;
}

// Rebuilds and shows the module's panel on one side, when the host shows one there; gives it.
const ShortcutPanel* UpdateSide(HANDLE from, int describe, int update, int redraw,
                                const ShortcutPanel* except) {
    PanelInfo info;
    if (!HostPanelInfo(from, describe, info)) {
        return nullptr;
    }
    ShortcutPanel* shown = PanelShown(info, except);
    if (shown != nullptr) {
        shown->Clear();
        shown->BuildList();
        HostControl(from, update, nullptr);
        HostControl(from, redraw, nullptr);
    }
    return shown;
}

}  // namespace

void ShowStoreChange(HANDLE from) {
    if (ShortcutPanel::living == nullptr) {
        return;
    }
    const ShortcutPanel* done = nullptr;
    if (from == INVALID_HANDLE_VALUE) {
        done = UpdateSide(from, FCTL_GETPANELINFO, FCTL_UPDATEPANEL, FCTL_REDRAWPANEL, nullptr);
    } else {
        done = static_cast<const ShortcutPanel*>(from);
    }
    UpdateSide(from, FCTL_GETANOTHERPANELINFO, FCTL_UPDATEANOTHERPANEL, FCTL_REDRAWANOTHERPANEL,
               done);
}
