// The panel's list and look. The arrays grow once per section by the section's number of
// values, and the host is handed the panel's own item array, whose descriptions point into the
// panel's entries.
#include "shortcut_panel.h"

#include <cstring>

#include "host/error_report.h"
#include "host/host_services.h"
#include "host/messages.h"
#include "host/module_state.h"
#include "store/errors.h"
#include "store/heap.h"
#include "store/name_store.h"
#include "store/reg_section.h"

char TitleText[32];
PanelMode PanelModes[10];
KeyBarTitles PanelKeyBar;
PanelInfo FindDataPanelInfo;

namespace {

// The panel's view mode: names only, in columns the host sizes.
constexpr int kViewMode = 6;
char kViewModeWidths[] = "8,0";
char kNoLabel[] = "";

// Reads a value as text; a value that cannot be read as text shows as the empty text.
void ReadValueOrEmpty(RegSection& section, const char* name, TextBuffer& value) {
    if (!section.ReadString(name, value) && value.data != nullptr) {
        value.data[0] = '\0';
    }
}

// Owns an entry until the list takes it.
class PendingEntry {
  public:
    PendingEntry() : entry_(MemNew<PanelEntry>()) {
        if (entry_ == nullptr) {
            throw ErrNoMemory;
        }
    }
    ~PendingEntry() { MemDelete(entry_); }
    PendingEntry(const PendingEntry&) = delete;
    PendingEntry& operator=(const PendingEntry&) = delete;

    PanelEntry* operator->() { return entry_; }
    PanelEntry* Release() {
        PanelEntry* taken = entry_;
        entry_ = nullptr;
        return taken;
    }

  private:
    PanelEntry* entry_;
};

}  // namespace

ShortcutPanel* ShortcutPanel::living = nullptr;

ShortcutPanel::ShortcutPanel() {
    SetFilter(nullptr, nullptr);
    BuildList();
    nextLiving = living;
    living = this;
}

ShortcutPanel::~ShortcutPanel() {
    for (ShortcutPanel** link = &living; *link != nullptr; link = &(*link)->nextLiving) {
        if (*link == this) {
            *link = nextLiving;
            break;
        }
    }
    Clear();
}

void ShortcutPanel::Clear() {
    MemFree(items);
    for (uint32_t i = 0; i < count; ++i) {
        MemDelete(entries[i]);
    }
    MemFree(entries);
    items = nullptr;
    entries = nullptr;
    count = 0;
    capacity = 0;
}

void ShortcutPanel::Grow(uint32_t size) {
    void* grownItems = MemRealloc(items, size * sizeof(PluginPanelItem));
    if (grownItems == nullptr) {
        throw ErrNoMemory;
    }
    items = static_cast<PluginPanelItem*>(grownItems);
    void* grownEntries = MemRealloc(entries, size * sizeof(PanelEntry*));
    if (grownEntries == nullptr) {
        throw ErrNoMemory;
    }
    entries = static_cast<PanelEntry**>(grownEntries);
    capacity = size;
}

void ShortcutPanel::LoadSection(const char* section, bool persistent, bool filterSection,
                                const char* excluded) {
    try {
        RegSection keys(section, persistent);
        RegValueCursor cursor(keys);
        uint32_t values_in_section = 0;
        if (!cursor.Count(values_in_section)) {
            values_in_section = 0;
        }
        Grow(capacity + values_in_section);
        bool restricted = filter.Text()[0] != '\0' && !filterSection;
        bool hidden = !persistent && Settings.ShowTemporaryNamesAsHideFiles != 0;
        TextBuffer name;
        while (cursor.Next(name)) {
            if (count == capacity) {
                // A value added after the count still gets its entry.
                Grow(capacity + 1);
            }
            PendingEntry entry;
            ReadValueOrEmpty(keys, name.Text(), entry->value);
            const char* value = entry->value.Text();
            if (restricted && !HostCmpName(filter.Text(), value)) {
                continue;
            }
            if (excluded != nullptr && lstrcmpA(excluded, value) == 0) {
                continue;
            }
            // The cursor gives the next name a block of its own, so this one can move over.
            entry->name.Swap(name);
            entry->temporary = !persistent;
            FillPanelItem(items[count], count, entry->name.Text(), value, hidden, filterSection);
            entries[count] = entry.Release();
            ++count;
        }
    } catch (terrors_t) {
        throw;
    } catch (...) {
        throw ErrUnexpected;
    }
}

int ShortcutPanel::BuildList() {
    listFresh = true;
    try {
        LoadSection(kFiltersSection, true, true, filter.Text());
        LoadSection(kKeysSection, true, false, nullptr);
        LoadSection(kTempKeysSection, false, false, nullptr);
        return 0;
    } catch (terrors_t code) {
        return code;
    }
}

void ShortcutPanel::Refresh() {
    Clear();
    BuildList();
    HostControl(this, FCTL_UPDATEPANEL, nullptr);
    HostControl(this, FCTL_REDRAWPANEL, nullptr);
}

void ShortcutPanel::SetFilter(const char* name, const char* pattern) {
    // The title buffer holds a blank, the panel's name and the terminator: a longer name is cut.
    char panelName[sizeof TitleText - 1];
    lstrcpynA(panelName, GetMsg(MPanelName), sizeof panelName);
    Host.FSF.sprintf(TitleText, " %s", panelName);
    // Both texts are made first and then taken together, so that a panel that runs out of
    // memory stays wholly where it was instead of showing one filter's title over another list.
    TextBuffer newTitle;
    TextBuffer newFilter;
    TextBuffer newName;
    newTitle.Assign(TitleText);
    if (pattern != nullptr) {
        newTitle.Append(": ").Append(pattern);
    }
    newFilter.Assign(pattern != nullptr ? pattern : "");
    newName.Assign(pattern != nullptr && name != nullptr ? name : "");
    title.Swap(newTitle);
    filter.Swap(newFilter);
    filterName.Swap(newName);
}

void ShortcutPanel::FillPanelItem(PluginPanelItem& item, uint32_t index, const char* name,
                                  const char* value, bool hidden, bool filter) {
    std::memset(&item, 0, sizeof item);
    DWORD attributes = hidden ? FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM : 0;
    if (filter) {
        attributes |= FILE_ATTRIBUTE_DIRECTORY;
    }
    item.FindData.dwFileAttributes = attributes;
    // A name longer than the field is shown cut; the keys find it whole through UserData.
    lstrcpynA(item.FindData.cFileName, name, sizeof item.FindData.cFileName);
    item.Description = const_cast<char*>(value);
    item.UserData = static_cast<DWORD_PTR>(index) + 1;
}

const PanelEntry* ShortcutPanel::ItemEntry(const PluginPanelItem& item) const {
    // The host hands back what it was given, but a list rebuilt since then may hold another
    // entry at that place, or fewer: the index counts only when it still shows the same name.
    if (item.UserData == 0 || item.UserData > count) {
        return nullptr;
    }
    const PanelEntry* entry = entries[item.UserData - 1];
    char shown[sizeof item.FindData.cFileName];
    char cut[sizeof shown];
    lstrcpynA(shown, item.FindData.cFileName, sizeof shown);
    lstrcpynA(cut, entry->name.Text(), sizeof cut);
    return std::strcmp(cut, shown) == 0 ? entry : nullptr;
}

void ShortcutPanel::ItemName(const PluginPanelItem& item, TextBuffer& name) const {
    const PanelEntry* entry = ItemEntry(item);
    if (entry != nullptr) {
        name.Assign(entry->name.Text());
        return;
    }
    char shown[sizeof item.FindData.cFileName];
    lstrcpynA(shown, item.FindData.cFileName, sizeof shown);
    name.Assign(shown);
}

void ShortcutPanel::ItemIdentity(const PluginPanelItem& item, TextBuffer& name,
                                 bool& temporary) const {
    const PanelEntry* entry = ItemEntry(item);
    ItemName(item, name);
    TextBuffer unused;
    temporary = entry != nullptr ? entry->temporary : LookupNameIn(name.Text(), true, unused) == 1;
}

int ShortcutPanel::ItemTarget(const PluginPanelItem& item, TextBuffer& target) const {
    TextBuffer name;
    bool temporary = false;
    ItemIdentity(item, name, temporary);
    return LookupNameIn(name.Text(), temporary, target);
}

bool ShortcutPanel::Shows(const PanelInfo& info) const {
    if (info.PanelItems == nullptr && info.ItemsNumber != 0) {
        return false;
    }
    uint32_t listed = 0;
    for (int i = 0; i < info.ItemsNumber; ++i) {
        const PluginPanelItem& item = info.PanelItems[i];
        // The host's own ".." carries no entry number.
        if (item.UserData == 0 && lstrcmpA(item.FindData.cFileName, "..") == 0) {
            continue;
        }
        if (ItemEntry(item) == nullptr) {
            return false;
        }
        ++listed;
    }
    return listed == count;
}

bool ShortcutPanel::Vanished(const char* name, bool filter, bool temporary) {
    if (!EntryGone(name, filter, temporary)) {
        return false;
    }
    ShowRefusal(MNoLongerStored, name);
    Refresh();
    return true;
}

int ShortcutPanel::SetDirectory(const char* dir) {
    if (lstrcmpA(dir, "..") == 0) {
        // At the top the host closes the panel itself, as it leaves any plugin's root.
        if (filter.Text()[0] == '\0') {
            return 0;
        }
        SetFilter(nullptr, nullptr);
    } else {
        // The host enters folders here, and the panel's only folders are its filters: a filter
        // goes before a stored name of the same name.
        TextBuffer pattern;
        if (!LookupFilter(dir, pattern)) {
            return GoToName(dir);
        }
        SetFilter(dir, pattern.Text());
    }
    // The host asks for the items and the look of the new folder once this returns.
    Clear();
    BuildList();
    return 1;
}

int ShortcutPanel::GetFindData(PluginPanelItem** panelItems, int* itemsNumber, int) {
    if (!HostControl(this, FCTL_GETPANELINFO, &FindDataPanelInfo)) {
        return 0;
    }
    // The host asks again when it shows the panel again, and another Far on the same registry
    // may have changed the names since: a list not built for this request is built anew.
    if (!listFresh) {
        Clear();
        BuildList();
    }
    listFresh = false;
    *panelItems = items;
    *itemsNumber = static_cast<int>(count);
    return 1;
}

void ShortcutPanel::GetOpenPluginInfo(OpenPluginInfo* info) {
    info->StructSize = sizeof *info;
    info->Flags = OPIF_USEFILTER | OPIF_ADDDOTS | OPIF_RAWSELECTION | OPIF_SHOWNAMESONLY |
                  OPIF_SHOWRIGHTALIGNNAMES | OPIF_SHOWPRESERVECASE;
    if (Settings.UseHighlighting != 0) {
        info->Flags |= OPIF_USEHIGHLIGHTING;
    }
    info->HostFile = nullptr;
    // Inside a filter the host takes the panel for a folder of that name: ".." and Ctrl+PgUp
    // then leave the filter through SetDirectory, and the cursor comes back onto it.
    info->CurDir = filterName.Text();
    info->Format = GetMsg(MPanelName);
    info->PanelTitle = title.Text();
    info->InfoLines = nullptr;
    info->InfoLinesNumber = 0;
    info->DescrFiles = nullptr;
    info->DescrFilesNumber = 0;

    PanelMode& mode = PanelModes[kViewMode];
    mode.ColumnTypes = nullptr;
    mode.ColumnWidths = kViewModeWidths;
    mode.FullScreen = 0;
    mode.Reserved[0] = 0;
    mode.Reserved[1] = 0;
    info->PanelModesArray = PanelModes;
    info->PanelModesNumber = sizeof PanelModes / sizeof PanelModes[0];
    info->StartPanelMode = '0' + kViewMode;

    std::memset(&PanelKeyBar, 0, sizeof PanelKeyBar);
    PanelKeyBar.Titles[2] = kNoLabel;
    PanelKeyBar.Titles[4] = kNoLabel;
    PanelKeyBar.Titles[5] = kNoLabel;
    PanelKeyBar.Titles[6] = const_cast<char*>(GetMsg(MKeyBarNewFilter));
    PanelKeyBar.Titles[7] = const_cast<char*>(GetMsg(MKeyBarDelete));
    info->KeyBar = &PanelKeyBar;
}
