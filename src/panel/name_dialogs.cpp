// The name dialog (add or edit a name and its path, with a check box for a temporary name when
// adding) and the filter dialog (a filter's name and its wildcard pattern). Both refuse what
// could not be used (among it an edit of a text too long for its field) and come back with what
// was typed, the refused field under the cursor, save through the store, report a save that
// failed, and rebuild the panel and any of the module's panels shown beside it.
#include "commands/name_rule.h"
#include "commands/target_rules.h"
#include "host/dialog_items.h"
#include "host/error_report.h"
#include "host/host_services.h"
#include "host/messages.h"
#include "panel_updates.h"
#include "shortcut_panel.h"
#include "store/errors.h"
#include "store/name_store.h"
#include "store/reg_section.h"

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

// How a dialog was closed: without OK, with OK, or with OK over a field that was filled with a
// text longer than it holds and came back changed.
enum class Answer { kClosed, kTyped, kCutTextEdited };

// Replaces `text`, which edit item `item` was filled with, by what the item holds after its
// dialog. A text longer than the field was shown cut, and what came back changed is that cut
// text edited: it would store a path the user never saw whole, so `text` stays whole and the
// result is false.
bool TakeTyped(FarDialogItem& item, TextBuffer& text) {
    const char* typed = WholeIfUnchanged(item, text.Text());
    if (typed != text.Text() && lstrlenA(text.Text()) > kMaxDialogText) {
        return false;
    }
    TextBuffer taken;
    taken.Assign(typed);
    text.Swap(taken);
    return true;
}

// The answer of a dialog closed with OK whose fields were taken as TakeTyped says.
Answer Typed(bool allTaken) {
    return allTaken ? Answer::kTyped : Answer::kCutTextEdited;
}

// The item of two edit fields that holds a text longer than its field: the one an edit of a cut
// text was refused for.
int CutField(const TextBuffer& first, int firstItem, int secondItem) {
    return lstrlenA(first.Text()) > kMaxDialogText ? firstItem : secondItem;
}

// Drops the blanks around a typed name, which the host drops from the end of a command line:
// a name kept with them could never be typed. A name that comes back as `kept` stays as it is.
void TrimBlanks(TextBuffer& name, const char* kept) {
    const char* text = name.Text();
    if (lstrcmpA(text, kept) == 0) {
        return;
    }
    const char* start = text;
    while (*start == ' ') {
        ++start;
    }
    const char* end = start + lstrlenA(start);
    while (end > start && end[-1] == ' ') {
        --end;
    }
    TextBuffer trimmed;
    trimmed.Assign(start);
    trimmed.data[end - start] = '\0';
    name.Swap(trimmed);
}

// After a refusal only the refused field has the focus, so that what is typed next goes there;
// the first showing focuses the host's first field.
void FocusOn(FarDialogItem* items, int count, int refused) {
    if (refused == 0) {
        return;
    }
    for (int i = 0; i < count; ++i) {
        items[i].Focus = i == refused ? 1 : 0;
    }
}

// Shows the name dialog filled with `name`, `path` and the temporary box, the focus on item
// `refused` when it is not 0. After OK the three hold what was typed, whole where a field that
// was too short for its text came back as shown, and as they were where such a field came back
// changed.
Answer AskName(bool edit, int refused, TextBuffer& name, TextBuffer& path, bool& temporary) {
    FarDialogItem items[kNameItems];
    InitDialogItem(items[kNameBox], DI_DOUBLEBOX, 2, 1, 47, 8, 0, 0, 0, 0,
                   GetMsg(edit ? MEditNameTitle : MAddNameTitle));
    InitDialogItem(items[kNameLabel], DI_TEXT, 4, 2, 0, 0, 0, 0, 0, 0, GetMsg(MNameLabel));
    InitDialogItem(items[kName], DI_EDIT, 4, 3, 45, 1, 1, 0, DIF_HISTORY, 0, name.Text());
    items[kName].History = kNameHistory;
    InitDialogItem(items[kPathLabel], DI_TEXT, 4, 4, 0, 0, 0, 0, 0, 0, GetMsg(MPathLabel));
    InitDialogItem(items[kPath], DI_EDIT, 4, 5, 45, 1, 1, 0, DIF_HISTORY, 0, path.Text());
    items[kPath].History = kPathHistory;
    InitCheckBox(items[kTemporary], 5, 6, 0, temporary ? 1 : 0, edit ? DIF_HIDDEN : 0, 0,
                 GetMsg(MTemporaryCheckBox));
    InitDialogItem(items[kNameOk], DI_BUTTON, 16, 7, 0, 0, 0, 0, 0, 0, "&OK");
    InitDialogItem(items[kNameCancel], DI_BUTTON, 24, 7, 0, 0, 0, 0, 0, 0, "&Cancel");
    FocusOn(items, kNameItems, refused);

    int result = HostDialog(50, 10, items, kNameItems);
    if (result == -1 || result == kNameCancel) {
        return Answer::kClosed;
    }
    bool nameTaken = TakeTyped(items[kName], name);
    bool pathTaken = TakeTyped(items[kPath], path);
    temporary = items[kTemporary].Selected != 0;
    return Typed(nameTaken && pathTaken);
}

// The filter dialog filled with `name` and `pattern`, the focus and the two taken back as in
// AskName.
Answer AskFilter(int refused, TextBuffer& name, TextBuffer& pattern) {
    FarDialogItem items[kFilterItems];
    InitDialogItem(items[kFilterBox], DI_DOUBLEBOX, 2, 1, 49, 8, 0, 0, 0, 0, GetMsg(MFilterTitle));
    InitDialogItem(items[kFilterNameLabel], DI_TEXT, 5, 2, 0, 0, 0, 0, 0, 0,
                   GetMsg(MFilterNameLabel));
    InitDialogItem(items[kFilterName], DI_EDIT, 5, 3, 46, 1, 1, 0, 0, 0, name.Text());
    InitDialogItem(items[kPatternLabel], DI_TEXT, 5, 4, 0, 0, 0, 0, 0, 0,
                   GetMsg(MFilterPatternLabel));
    InitDialogItem(items[kPattern], DI_EDIT, 5, 5, 46, 1, 1, 0, 0, 0, pattern.Text());
    InitDialogItem(items[kFilterOk], DI_BUTTON, 16, 7, 0, 0, 0, 0, 0, 0, "&OK");
    InitDialogItem(items[kFilterCancel], DI_BUTTON, 24, 7, 0, 0, 0, 0, 0, 0, "&Cancel");
    FocusOn(items, kFilterItems, refused);

    int result = HostDialog(52, 10, items, kFilterItems);
    if (result == -1 || result == kFilterCancel) {
        return Answer::kClosed;
    }
    bool nameTaken = TakeTyped(items[kFilterName], name);
    bool patternTaken = TakeTyped(items[kPattern], pattern);
    return Typed(nameTaken && patternTaken);
}

// The message that refuses a name typed into a dialog (CheckName), or 0 when it can be stored.
int TypedNameRefusal(const char* valueName) {
    int code = CheckName(valueName);
    return code == ErrEmptyName ? MEmptyNameDialog : code != 0 ? ErrorMessageTable[code] : 0;
}

// The message that refuses what was typed into the name dialog, or 0 when it can be stored,
// with `field` the item at fault. A name kept as it was is not judged again: one stored earlier
// stays editable. A name without a directory would lead nowhere, and nothing would say so.
int NameDialogRefusal(const char* name, const char* path, bool newName, int& field) {
    const char* valueName = AddedValueName(name);
    field = kName;
    int refusal = valueName == nullptr ? MEmptyNameDialog : 0;
    if (refusal == 0 && newName) {
        refusal = TypedNameRefusal(valueName);
    }
    if (refusal == 0) {
        field = kPath;
        TextBuffer joined;
        refusal =
            path[0] == '\0' ? MEmptyPath : StoredTargetRefusal(AddedTarget(name, path, joined));
    }
    return refusal;
}

}  // namespace

int ShortcutPanel::EditName(bool edit, const char* itemName, bool itemTemporary) {
    TextBuffer name;
    TextBuffer path;
    name.Assign(edit ? itemName : "");
    if (edit) {
        // Another Far on the same registry may have deleted it since the list was read.
        if (LookupNameIn(itemName, itemTemporary, path) != 1) {
            if (Vanished(itemName, false, itemTemporary)) {
                return 1;
            }
            path.Assign("");
        }
    } else {
        // A directory that fills the host's field may have been cut to it (Far 3 hands a 1.x
        // plugin 259 characters), and one that could not be stored is no help: neither is
        // offered, so that no cut path is stored unseen.
        PanelInfo other;
        if (HostPanelInfo(this, FCTL_GETANOTHERPANELINFO, other) &&
            lstrlenA(other.CurDir) < static_cast<int>(sizeof other.CurDir) - 1 &&
            StoredTargetRefusal(other.CurDir) == 0) {
            path.Assign(other.CurDir);
        }
    }
    bool temporaryBox = false;
    int refusedField = 0;
    for (;;) {
        Answer answer = AskName(edit, refusedField, name, path, temporaryBox);
        if (answer == Answer::kClosed) {
            return 1;
        }
        if (answer == Answer::kCutTextEdited) {
            refusedField = CutField(path, kPath, kName);
            ShowRefusal(MCutTextEdited, nullptr);
            continue;
        }
        TrimBlanks(name, itemName);
        bool renamed = !edit || lstrcmpA(name.Text(), itemName) != 0;
        int refusal = NameDialogRefusal(name.Text(), path.Text(), renamed, refusedField);
        if (refusal != 0) {
            ShowRefusal(refusal, nullptr);
            continue;
        }
        TextBuffer existing;
        if (renamed && LookupName(name.Text(), existing) == 1) {
            // The question names the entry that would be replaced: the typed name.
            const char* lines[2] = {GetMsg(MOverwriteQuestion), name.Text()};
            if (HostMessage(FMSG_MB_OKCANCEL, lines, 2) != 0) {
                return 1;
            }
        }
        // An edited name stays in its section; a renamed or added one goes where the box says.
        bool permanent = renamed ? !temporaryBox : !itemTemporary;
        int code = AddName(name.Text(), path.Text(), permanent);
        if (code != 0) {
            ReportError(code);
        }
        Refresh();
        ShowStoreChange(this);
        return 1;
    }
}

int ShortcutPanel::EditFilter(const char* name, const char* pattern) {
    TextBuffer typedName;
    TextBuffer typedPattern;
    typedName.Assign(name);
    typedPattern.Assign(pattern);
    if (name[0] != '\0' && !LookupFilter(name, typedPattern)) {
        if (Vanished(name, true, false)) {
            return 1;
        }
        typedPattern.Assign(pattern);
    }
    int refusedField = 0;
    for (;;) {
        Answer answer = AskFilter(refusedField, typedName, typedPattern);
        if (answer == Answer::kClosed) {
            return 1;
        }
        int refusal = 0;
        if (answer == Answer::kCutTextEdited) {
            refusal = MCutTextEdited;
            refusedField = CutField(typedPattern, kPattern, kFilterName);
        } else {
            TrimBlanks(typedName, name);
            // The empty value name is the key's default value, which no listing shows as a
            // filter; a filter without a pattern would list nothing and, never listed, could
            // not be deleted. A filter kept under its name is not judged again, as a name is not.
            bool renamed = name[0] == '\0' || lstrcmpA(typedName.Text(), name) != 0;
            refusal = renamed ? TypedNameRefusal(typedName.Text()) : 0;
            refusedField = kFilterName;
            if (refusal == 0 && typedPattern.Text()[0] == '\0') {
                refusal = MEmptyPattern;
                refusedField = kPattern;
            }
        }
        if (refusal == 0) {
            break;
        }
        ShowRefusal(refusal, nullptr);
    }
    RegSection filters(kFiltersSection, true);
    if (!filters.WriteString(typedName.Text(), typedPattern.Text())) {
        ReportError(ErrRegistry);
    }
    Refresh();
    ShowStoreChange(this);
    return 1;
}

int ShortcutPanel::MakeDirectory(const char*, int) {
    return EditFilter("", "");
}
