// The configuration dialog: five check boxes and the prefix field, saved at once on OK. A prefix
// that would leave the command line unusable, or that the program running the module refuses, is
// refused, and the dialog comes back as typed.
#include <cstring>

#include "abi/plugin_abi.h"
#include "dialog_items.h"
#include "error_report.h"
#include "host_services.h"
#include "messages.h"
#include "module_state.h"
#include "settings.h"
#include "store/text_buffer.h"

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

// The message that refuses a prefix, or 0. The host reads a prefix from the start of the
// command line: an empty one would claim every line, and a letter with a colon is the line that
// changes the drive. It reads a colon inside a prefix as the end of one prefix and the start of
// another ("zz:qq" would be two), and takes the text up to the colon for the prefix itself; a
// prefix kept as it was stored is not judged by that rule again, nor one a program judges that
// names a shell's command after it (CheckNewPrefix), where it is no file manager's prefix.
int PrefixRefusal(const char* prefix, bool changed) {
    bool letter = (prefix[0] >= 'A' && prefix[0] <= 'Z') || (prefix[0] >= 'a' && prefix[0] <= 'z');
    bool drive = letter && prefix[1] == ':' && prefix[2] == '\0';
    if (prefix[0] == '\0' || drive) {
        return MBadPrefix;
    }
    if (!changed || CheckNewPrefix != nullptr) {
        return 0;
    }
    const char* colon = std::strchr(prefix, ':');
    return colon == nullptr || colon[1] != '\0' || colon == prefix ? MPrefixOneColon : 0;
}

// Fills the ten items, the check boxes checked as `checked` says by item; after a refused prefix
// the focus is on the prefix alone, so that the next key edits it rather than flip a switch.
void FillItems(FarDialogItem* items, const int* checked, const char* prefix, bool refused) {
    InitDialogItem(items[kBox], DI_DOUBLEBOX, 2, 1, 49, 12, 0, 0, 0, 0, GetMsg(MConfigTitle));
    InitCheckBox(items[kShowInDiskMenu], 5, 2, refused ? 0 : 1, checked[kShowInDiskMenu], 0, 0,
                 GetMsg(MShowInDiskMenuCheckBox));
    InitCheckBox(items[kShowInPluginsMenu], 5, 3, 0, checked[kShowInPluginsMenu], 0, 0,
                 GetMsg(MShowInPluginsMenuCheckBox));
    InitCheckBox(items[kShowTemporaryAsHidden], 5, 5, 0, checked[kShowTemporaryAsHidden], 0, 0,
                 GetMsg(MShowTemporaryAsHiddenCheckBox));
    InitCheckBox(items[kShowErrors], 5, 6, 0, checked[kShowErrors], 0, 0,
                 GetMsg(MShowErrorsCheckBox));
    InitCheckBox(items[kAutoComplete], 5, 7, 0, checked[kAutoComplete], 0, 0,
                 GetMsg(MAutoCompleteCheckBox));
    InitDialogItem(items[kPrefixLabel], DI_TEXT, 5, 9, 0, 0, 0, 0, 0, 0, GetMsg(MPrefixLabel));
    InitDialogItem(items[kPrefix], DI_EDIT, 14, 9, 19, 1, 1, 0, 0, 0, prefix);
    InitDialogItem(items[kOk], DI_BUTTON, 16, 11, 0, 0, 0, 0, 0, 0, "&OK");
    InitDialogItem(items[kCancel], DI_BUTTON, 24, 11, 0, 0, 0, 0, 0, 0, "&Cancel");
}

// Whether the program's check takes a new prefix: a refusal is shown, a doubt is asked about.
bool CheckedPrefixTaken(const char* prefix) {
    bool refused = false;
    const char* said = CheckNewPrefix != nullptr && lstrcmpA(prefix, Settings.Prefix.Text()) != 0
                           ? CheckNewPrefix(prefix, &refused)
                           : nullptr;
    if (said == nullptr) {
        return true;
    }
    const char* lines[2] = {GetMsg(MConfigTitle), said};
    return HostMessage(refused ? FMSG_MB_OK : FMSG_MB_OKCANCEL, lines, 2) == 0 && !refused;
}

}  // namespace

NewPrefixCheck CheckNewPrefix = nullptr;

int RunConfigDialog() {
    FarDialogItem items[kConfigItems];
    int checked[kConfigItems] = {};
    checked[kShowInDiskMenu] = Settings.ShowInDiskMenu != 0;
    checked[kShowInPluginsMenu] = Settings.ShowInPluginsMenu != 0;
    checked[kShowTemporaryAsHidden] = Settings.ShowTemporaryNamesAsHideFiles != 0;
    checked[kShowErrors] = Settings.ShowErrors != 0;
    checked[kAutoComplete] = Settings.AutoComplite != 0;
    TextBuffer prefix;
    prefix.Assign(Settings.Prefix.Text());
    bool refused = false;
    for (;;) {
        FillItems(items, checked, prefix.Text(), refused);
        int result = HostDialog(52, 14, items, kConfigItems);
        if (result == -1 || result == kCancel) {
            return 0;
        }
        TextBuffer typed;
        typed.Assign(WholeIfUnchanged(items[kPrefix], prefix.Text()));
        prefix.Swap(typed);
        bool changed = lstrcmpA(prefix.Text(), Settings.Prefix.Text()) != 0;
        int refusal = PrefixRefusal(prefix.Text(), changed);
        if (refusal != 0) {
            ShowRefusal(refusal, prefix.Text());
        } else if (CheckedPrefixTaken(prefix.Text())) {
            break;
        }
        // The dialog comes back with the prefix under the cursor, whoever refused it.
        refused = true;
        for (int i = 0; i < kConfigItems; ++i) {
            checked[i] = items[i].Selected;
        }
    }
    Settings.ShowErrors = Checked(items[kShowErrors]);
    Settings.ShowInPluginsMenu = Checked(items[kShowInPluginsMenu]);
    Settings.ShowInDiskMenu = Checked(items[kShowInDiskMenu]);
    Settings.ShowTemporaryNamesAsHideFiles = Checked(items[kShowTemporaryAsHidden]);
    ReplacePrefix(prefix.Text());
    Settings.AutoComplite = Checked(items[kAutoComplete]);
    SaveSettings();
    return 1;
}
