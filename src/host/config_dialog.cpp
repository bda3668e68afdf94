// The configuration dialog: five check boxes and the prefix field, saved at once on OK.
#include "../abi/plugin_abi.h"
#include "dialog_items.h"
#include "host_services.h"
#include "messages.h"
#include "module_state.h"
#include "settings.h"

namespace {

enum ConfigItem {
    kBox,
    kShowInDiskMenu,
    kShowInPluginsMenu,
    kShowTemporaryAsHidden,
    kShowErrors,
    kAutoComplete,
    kPrefixLabel,
    kPrefix,
    kOk,
    kCancel,
    kConfigItems
};

DWORD Checked(const FarDialogItem& item) {
    return item.Selected != 0 ? 1 : 0;
}

}  // namespace

int RunConfigDialog() {
    FarDialogItem items[kConfigItems];
    InitDialogItem(items[kBox], DI_DOUBLEBOX, 2, 1, 49, 12, 0, 0, 0, 0, GetMsg(MConfigTitle));
    InitCheckBox(items[kShowInDiskMenu], 5, 2, 1, Settings.ShowInDiskMenu != 0, 0, 0,
                 GetMsg(MShowInDiskMenuCheckBox));
    InitCheckBox(items[kShowInPluginsMenu], 5, 3, 0, Settings.ShowInPluginsMenu != 0, 0, 0,
                 GetMsg(MShowInPluginsMenuCheckBox));
    InitCheckBox(items[kShowTemporaryAsHidden], 5, 5, 0,
                 Settings.ShowTemporaryNamesAsHideFiles != 0, 0, 0,
                 GetMsg(MShowTemporaryAsHiddenCheckBox));
    InitCheckBox(items[kShowErrors], 5, 6, 0, Settings.ShowErrors != 0, 0, 0,
                 GetMsg(MShowErrorsCheckBox));
    InitCheckBox(items[kAutoComplete], 5, 7, 0, Settings.AutoComplite != 0, 0, 0,
                 GetMsg(MAutoCompleteCheckBox));
    InitDialogItem(items[kPrefixLabel], DI_TEXT, 5, 9, 0, 0, 0, 0, 0, 0, GetMsg(MPrefixLabel));
    InitDialogItem(items[kPrefix], DI_EDIT, 14, 9, 19, 1, 1, 0, 0, 0, Settings.Prefix.Text());
    InitDialogItem(items[kOk], DI_BUTTON, 16, 11, 0, 0, 0, 0, 0, 0, "&OK");
    InitDialogItem(items[kCancel], DI_BUTTON, 24, 11, 0, 0, 0, 0, 0, 0, "&Cancel");

    int result = HostDialog(52, 14, items, kConfigItems);
    if (result == -1 || result == kCancel) {
        return 0;
    }
    Settings.ShowErrors = Checked(items[kShowErrors]);
    Settings.ShowInPluginsMenu = Checked(items[kShowInPluginsMenu]);
    Settings.ShowInDiskMenu = Checked(items[kShowInDiskMenu]);
    Settings.ShowTemporaryNamesAsHideFiles = Checked(items[kShowTemporaryAsHidden]);
    ReplacePrefix(WholeIfUnchanged(items[kPrefix], Settings.Prefix.Text()));
    Settings.AutoComplite = Checked(items[kAutoComplete]);
    SaveSettings();
    return 1;
}
