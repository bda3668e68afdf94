// The name dialog (add or edit a name and its path, with a check box for a temporary name when
// adding) and the filter dialog (a filter's name and its wildcard pattern). Both save through
// the store, report a save that failed, and rebuild the panel.
#include "../host/dialog_items.h"
#include "../host/error_report.h"
#include "../host/host_services.h"
#include "../host/messages.h"
#include "../store/errors.h"
#include "../store/name_store.h"
#include "../store/reg_section.h"
#include "shortcut_panel.h"

namespace {

enum NameDialogItem {
    kNameBox,
    kNameLabel,
    kName,
    kPathLabel,
    kPath,
    kTemporary,
    kNameOk,
    kNameCancel,
    kNameItems
};
enum FilterDialogItem {
    kFilterBox,
    kFilterNameLabel,
    kFilterName,
    kPatternLabel,
    kPattern,
    kFilterOk,
    kFilterCancel,
    kFilterItems
};

const char kNameHistory[] = "VelmoraInsertHistoryName";
const char kPathHistory[] = "VelmoraInsertHistoryPath";

}  // namespace

int ShortcutPanel::EditName(bool edit, const char* itemName) {
    TextBuffer path;
    if (edit) {
        if (LookupName(itemName, path) != 1) {
            path.Assign("");
        }
    } else {
        PanelInfo other;
        if (HostPanelInfo(this, FCTL_GETANOTHERPANELINFO, other)) {
            path.Assign(other.CurDir);
        }
    }

    FarDialogItem items[kNameItems];
    InitDialogItem(items[kNameBox], DI_DOUBLEBOX, 2, 1, 47, 8, 0, 0, 0, 0,
                   GetMsg(edit ? MEditNameTitle : MAddNameTitle));
    InitDialogItem(items[kNameLabel], DI_TEXT, 4, 2, 0, 0, 0, 0, 0, 0, GetMsg(MNameLabel));
    InitDialogItem(items[kName], DI_EDIT, 4, 3, 45, 1, 1, 0, DIF_HISTORY, 0, edit ? itemName : "");
    items[kName].History = kNameHistory;
    InitDialogItem(items[kPathLabel], DI_TEXT, 4, 4, 0, 0, 0, 0, 0, 0, GetMsg(MPathLabel));
    InitDialogItem(items[kPath], DI_EDIT, 4, 5, 45, 1, 1, 0, DIF_HISTORY, 0, path.Text());
    items[kPath].History = kPathHistory;
    InitCheckBox(items[kTemporary], 5, 6, 0, 0, edit ? DIF_HIDDEN : 0, 0,
                 GetMsg(MTemporaryCheckBox));
    InitDialogItem(items[kNameOk], DI_BUTTON, 16, 7, 0, 0, 0, 0, 0, 0, "&OK");
    InitDialogItem(items[kNameCancel], DI_BUTTON, 24, 7, 0, 0, 0, 0, 0, 0, "&Cancel");

    int result = HostDialog(50, 10, items, kNameItems);
    if (result == -1 || result == kNameCancel) {
        return 1;
    }
    const char* typedName = WholeIfUnchanged(items[kName], edit ? itemName : "");
    const char* typedPath = WholeIfUnchanged(items[kPath], path.Text());
    bool temporary = items[kTemporary].Selected != 0;

    TextBuffer existing;
    if (lstrcmpA(typedName, itemName) != 0 && LookupName(typedName, existing) == 1) {
        // The question names the entry that would be replaced: the typed name.
        const char* lines[2] = {GetMsg(MOverwriteQuestion), typedName};
        if (HostMessage(FMSG_MB_OKCANCEL, lines, 2) != 0) {
            return 1;
        }
    }
    int code = AddName(typedName, typedPath, !temporary);
    // An empty name is no save the user asked for; anything else that failed is reported.
    if (code != 0 && code != ErrEmptyName) {
        ReportError(code);
    }
    Refresh();
    return 1;
}

int ShortcutPanel::EditFilter(const char* name, const char* pattern) {
    FarDialogItem items[kFilterItems];
    InitDialogItem(items[kFilterBox], DI_DOUBLEBOX, 2, 1, 49, 8, 0, 0, 0, 0, GetMsg(MFilterTitle));
    InitDialogItem(items[kFilterNameLabel], DI_TEXT, 5, 2, 0, 0, 0, 0, 0, 0,
                   GetMsg(MFilterNameLabel));
    InitDialogItem(items[kFilterName], DI_EDIT, 5, 3, 46, 1, 1, 0, 0, 0, name);
    InitDialogItem(items[kPatternLabel], DI_TEXT, 5, 4, 0, 0, 0, 0, 0, 0,
                   GetMsg(MFilterPatternLabel));
    InitDialogItem(items[kPattern], DI_EDIT, 5, 5, 46, 1, 1, 0, 0, 0, pattern);
    InitDialogItem(items[kFilterOk], DI_BUTTON, 16, 7, 0, 0, 0, 0, 0, 0, "&OK");
    InitDialogItem(items[kFilterCancel], DI_BUTTON, 24, 7, 0, 0, 0, 0, 0, 0, "&Cancel");

    int result = HostDialog(52, 10, items, kFilterItems);
    if (result == -1 || result == kFilterCancel) {
        return 1;
    }
    const char* typedName = WholeIfUnchanged(items[kFilterName], name);
    const char* typedPattern = WholeIfUnchanged(items[kPattern], pattern);
    RegSection filters(kFiltersSection, true);
    if (!filters.WriteString(typedName, typedPattern)) {
        ReportError(ErrRegistry);
    }
    Refresh();
    return 1;
}

int ShortcutPanel::MakeDirectory(const char*, int) {
    return EditFilter("", "");
}
