// Carrying a target to a panel: a directory shown, a command for another plugin posted.
#include "jump.h"

#include <string>

#include "host/control_bytes.h"
#include "host/error_report.h"
#include "host/host_services.h"
#include "host/messages.h"
#include "host/module_state.h"
#include "store/name_store.h"
#include "target_rules.h"

namespace {

// Shows refusal `message` naming `text`, its control characters written out.
void Refuse(int message, const char* text) {
    ShowRefusal(message, VisibleText(text, false, Host.CodePageTexts).c_str());
}

}  // namespace

bool PostPluginCommand(const char* text, bool otherPanel) {
    const char* named = nullptr;
    int refusal = TypingRefusal(text, otherPanel, &named);
    if (refusal != 0) {
        Refuse(refusal, named);
        return false;
    }
    return HostPostText(text, otherPanel ? Settings.Prefix.Text() : nullptr);
}

bool CarryTarget(HANDLE panel, char* target, bool otherPanel) {
    if (PluginCommandPos(target) != 0) {
        return PostPluginCommand(target, otherPanel);
    }
    if (int refusal = DirectoryRefusal(target); refusal != 0) {
        Refuse(refusal, target);
        return false;
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
