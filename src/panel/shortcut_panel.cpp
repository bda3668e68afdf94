// The panel's list and look. The arrays grow once per section by the section's number of
// values, and the host is handed the panel's own item array, whose descriptions point into the
// panel's value buffers.
#include "shortcut_panel.h"

#include <cstring>

#include "../host/host_services.h"
#include "../host/messages.h"
#include "../host/module_state.h"
#include "../store/errors.h"
#include "../store/heap.h"
#include "../store/name_store.h"
#include "../store/reg_section.h"

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

// Owns a value buffer until the list takes it.
class PendingValue {
  public:
    PendingValue() : buffer_(MemNew<TextBuffer>()) {
        if (buffer_ == nullptr) {
            throw ErrNoMemory;
        }
    }
    ~PendingValue() { MemDelete(buffer_); }
    PendingValue(const PendingValue&) = delete;
    PendingValue& operator=(const PendingValue&) = delete;

    TextBuffer& operator*() { return *buffer_; }
    TextBuffer* Release() {
        TextBuffer* taken = buffer_;
        buffer_ = nullptr;
        return taken;
    }

  private:
    TextBuffer* buffer_;
};

}  // namespace

ShortcutPanel::ShortcutPanel() {
    SetFilter(nullptr);
    BuildList();
}

ShortcutPanel::~ShortcutPanel() {
    Clear();
}

void ShortcutPanel::Clear() {
    MemFree(items);
    for (uint32_t i = 0; i < count; ++i) {
        MemDelete(values[i]);
    }
    MemFree(values);
    items = nullptr;
    values = nullptr;
    count = 0;
    capacity = 0;
}

void ShortcutPanel::Grow(uint32_t entries) {
    void* grownItems = MemRealloc(items, entries * sizeof(PluginPanelItem));
    if (grownItems == nullptr) {
        throw ErrNoMemory;
    }
    items = static_cast<PluginPanelItem*>(grownItems);
    void* grownValues = MemRealloc(values, entries * sizeof(TextBuffer*));
    if (grownValues == nullptr) {
        throw ErrNoMemory;
    }
    values = static_cast<TextBuffer**>(grownValues);
    capacity = entries;
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
            PendingValue value;
            ReadValueOrEmpty(keys, name.Text(), *value);
            if (restricted && !HostCmpName(filter.Text(), (*value).Text())) {
                continue;
            }
            if (excluded != nullptr && lstrcmpA(excluded, (*value).Text()) == 0) {
                continue;
            }
            FillPanelItem(items[count], name.Text(), (*value).Text(), hidden, filterSection);
            values[count] = value.Release();
            ++count;
        }
    } catch (terrors_t) {
        throw;
    } catch (...) {
        throw ErrUnexpected;
    }
}

int ShortcutPanel::BuildList() {
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

void ShortcutPanel::SetFilter(const char* pattern) {
    // The title buffer holds a blank, the panel's name and the terminator: a longer name is cut.
    char name[sizeof TitleText - 1];
    lstrcpynA(name, GetMsg(MPanelName), sizeof name);
    Host.FSF.sprintf(TitleText, " %s", name);
    // Both texts are made first and then taken together, so that a panel that runs out of
    // memory stays wholly where it was instead of showing one filter's title over another list.
    TextBuffer newTitle;
    TextBuffer newFilter;
    newTitle.Assign(TitleText);
    if (pattern != nullptr) {
        newTitle.Append(": ").Append(pattern);
    }
    newFilter.Assign(pattern != nullptr ? pattern : "");
    title.Swap(newTitle);
    filter.Swap(newFilter);
}

void ShortcutPanel::FillPanelItem(PluginPanelItem& item, const char* name, const char* value,
                                  bool hidden, bool filter) {
    std::memset(&item, 0, sizeof item);
    DWORD attributes = hidden ? FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM : 0;
    if (filter) {
        attributes |= FILE_ATTRIBUTE_DIRECTORY;
    }
    item.FindData.dwFileAttributes = attributes;
    // A name longer than the field is shown cut.
    lstrcpynA(item.FindData.cFileName, name, sizeof item.FindData.cFileName);
    item.Description = const_cast<char*>(value);
}

int ShortcutPanel::GetFindData(PluginPanelItem** panelItems, int* itemsNumber, int) {
    if (!HostControl(this, FCTL_GETPANELINFO, &FindDataPanelInfo)) {
        return 0;
    }
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
    info->CurDir = "";
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
