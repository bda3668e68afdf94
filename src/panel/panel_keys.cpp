// The keys the panel takes over from the host. Enter jumps to a name (here, in the system's
// file browser, or on the other panel) or enters a filter, and says so of an entry no longer
// stored (another Far on the same registry may have deleted it); Ctrl+R re-reads; F4 edits and
// adds; F8 deletes after a question; F3, F5 and F6 are swallowed, alone and with Shift or Alt,
// since the items are no files. A filter is told from a name by its directory attribute alone, and
// an item's whole name is the panel's (ItemName), not the host's cut copy; every key acts on
// the entry an item stands for, in its own section.
#include <cstring>

#include "host/error_report.h"
#include "host/host_services.h"
#include "host/messages.h"
#include "panel_updates.h"
#include "shortcut_panel.h"
#include "store/errors.h"
#include "store/name_store.h"

namespace {

bool IsFilter(const PluginPanelItem& item) {
    return (item.FindData.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The item a key acts on: the first selected one, which the host makes the item under the
// cursor when nothing is selected. None when the host lists no item.
const PluginPanelItem* ActedOnItem(const PanelInfo& info) {
    return info.SelectedItemsNumber > 0 && info.SelectedItems != nullptr ? &info.SelectedItems[0]
                                                                         : nullptr;
}

// Opens `target` in the system's file browser; true when the browser started.
bool OpenInFileBrowser(const char* target) {
    TextBuffer commandLine;
    commandLine.Assign("explorer \"");
    commandLine.Append(target).Append("\"");
    STARTUPINFOA startup;
    std::memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    std::memset(&process, 0, sizeof process);
    if (!CreateProcessA(nullptr, commandLine.data, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return false;
    }
    // Nobody waits for the browser; its handles are not needed.
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

// Whether `format` holds exactly one conversion, and it is `conversion`: the question's buffer
// is sized for that alone, so any other format is shown as plain text.
bool HasSingleConversion(const char* format, char conversion) {
    int conversions = 0;
    bool fits = false;
    for (const char* p = std::strchr(format, '%'); p != nullptr; p = std::strchr(p + 1, '%')) {
        ++conversions;
        fits = p[1] == conversion;
    }
    return conversions == 1 && fits;
}

// The delete question: the item's name when one item is acted on, else how many.
void DeleteQuestion(int selected, const char* name, TextBuffer& question) {
    const char* format = GetMsg(selected == 1 ? MDeleteItem : MDeleteItems);
    if (selected == 1 && HasSingleConversion(format, 's')) {
        question.Reserve(lstrlenA(format) + lstrlenA(name) + 2);
        Host.FSF.sprintf(question.data, format, name);
    } else if (selected != 1 && HasSingleConversion(format, 'd')) {
        question.Reserve(lstrlenA(format) + 10);
        Host.FSF.sprintf(question.data, format, selected);
    } else {
        question.Assign(format);
    }
}

}  // namespace

int ShortcutPanel::ProcessKey(int key, unsigned int controlState) {
    switch (key) {
        case KEY_LBUTTON:
        case KEY_RETURN:
            return EnterKey(controlState);
        case KEY_R:
            // R with Shift is a capital letter for the command line, and Alt+R the host's quick
            // search: only Ctrl+R is the panel's.
            if (controlState != PKF_CONTROL) {
                return 0;
            }
            Refresh();
            return 1;
        case KEY_F3:
        case KEY_F5:
        case KEY_F6:
            // With Ctrl alone these keys sort the panel, which the host does.
            return controlState != PKF_CONTROL ? 1 : 0;
        case KEY_F4:
            return controlState == 0 ? EditKey() : AddKey();
        case KEY_F8:
            return controlState == 0 ? DeleteKey() : 0;
        default:
            return 0;
    }
}

int ShortcutPanel::EnterKey(unsigned int controlState) {
    PanelInfo info;
    if (!HostPanelInfo(this, FCTL_GETPANELINFO, info)) {
        Refresh();
        return 1;
    }
    const PluginPanelItem* item = ActedOnItem(info);
    // A host that lists nothing while the cursor is on ".." still means "..".
    bool filterItem = item != nullptr ? IsFilter(*item) : info.CurrentItem == 0;
    if (filterItem) {
        // ".." is the host's, as on any folder: it asks SetDirectory to leave the filter and
        // then puts the cursor on the filter left, or closes the panel at the top.
        if (info.CurrentItem == 0) {
            return 0;
        }
        TextBuffer name;
        ItemName(*item, name);
        TextBuffer pattern;
        if (!LookupFilter(name.Text(), pattern)) {
            if (Vanished(name.Text(), true, false)) {
                return 1;
            }
            pattern.Assign(item->Description != nullptr ? item->Description : "");
        }
        SetFilter(name.Text(), pattern.Text());
        Refresh();
        return 1;
    }
    if (item == nullptr) {
        return 1;
    }
    TextBuffer target;
    bool stored = ItemTarget(*item, target) == 1;
    if (!stored) {
        TextBuffer name;
        bool temporary = false;
        ItemIdentity(*item, name, temporary);
        if (Vanished(name.Text(), false, temporary)) {
            return 1;
        }
    }
    if (controlState == PKF_SHIFT && stored) {
        if (PluginCommandPos(target.Text()) != 0) {
            return 0;
        }
        if (OpenInFileBrowser(target.Text())) {
            return 1;
        }
    } else if (controlState == PKF_CONTROL) {
        if (!stored) {
            return 0;
        }
        JumpTo(target.data, true);
        return 1;
    }
    if (stored) {
        JumpTo(target.data, false);
    }
    return 1;
}

int ShortcutPanel::EditKey() {
    PanelInfo info;
    if (!HostPanelInfo(this, FCTL_GETPANELINFO, info)) {
        return 1;
    }
    const PluginPanelItem* item = ActedOnItem(info);
    if (item == nullptr) {
        return 1;
    }
    TextBuffer name;
    if (IsFilter(*item)) {
        ItemName(*item, name);
        return EditFilter(name.Text(), item->Description != nullptr ? item->Description : "");
    }
    bool temporary = false;
    ItemIdentity(*item, name, temporary);
    EditName(true, name.Text(), temporary);
    return 1;
}

int ShortcutPanel::AddKey() {
    // The item under the cursor plays no part: a name is added, not the item edited.
    EditName(false, "", false);
    return 1;
}

int ShortcutPanel::DeleteKey() {
    try {
        PanelInfo info;
        if (!HostPanelInfo(this, FCTL_GETPANELINFO, info)) {
            return 0;
        }
        const PluginPanelItem* first = ActedOnItem(info);
        if (first == nullptr) {
            return 0;
        }
        int selected = info.SelectedItemsNumber;
        TextBuffer question;
        TextBuffer name;
        ItemName(*first, name);
        DeleteQuestion(selected, name.Text(), question);
        const char* lines[2] = {GetMsg(MDeleteTitle), question.Text()};
        if (HostMessage(FMSG_MB_OKCANCEL, lines, 2) != 0) {
            return 0;
        }
        // An item already gone is passed over; a delete that failed is reported, once.
        int failure = 0;
        for (int i = 0; i < selected; ++i) {
            const PluginPanelItem& item = info.SelectedItems[i];
            int code = 0;
            if (IsFilter(item)) {
                ItemName(item, name);
                code = DeleteName(name.Text(), true);
            } else {
                bool temporary = false;
                ItemIdentity(item, name, temporary);
                code = DeleteNameIn(name.Text(), temporary);
            }
            if (code != 0 && code != ErrNotFound && failure == 0) {
                failure = code;
            }
        }
        if (failure != 0) {
            ReportError(failure);
        }
    } catch (...) {
        return 0;
    }
    Refresh();
    ShowStoreChange(this);
    return 1;
}
