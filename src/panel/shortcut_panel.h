// ShortcutPanel: the object behind each panel handle the module gives the host. It lists the
// filters (as folders), the permanent names and the temporary names as one flat list, optionally
// restricted to the names whose paths match one filter, and edits them through its keys and
// dialogs. Every change writes the store at once and rebuilds the list from it.
#pragma once

#include <cstdint>

#include "abi/plugin_abi.h"
#include "store/text_buffer.h"

// Records handed to the host, shared by all panels and refilled on each use.
extern char TitleText[32];
extern PanelMode PanelModes[10];
extern KeyBarTitles PanelKeyBar;
extern PanelInfo FindDataPanelInfo;

// What the panel keeps of one listed entry: the whole name, which the item's file-name field
// may hold cut, and the stored value that the item's description points at.
struct PanelEntry {
    TextBuffer name;
    TextBuffer value;
    bool temporary = false;
};

class ShortcutPanel {
  public:
    // A panel without a filter and with its list built. Throws when the title cannot be made.
    ShortcutPanel();
    virtual ~ShortcutPanel();
    ShortcutPanel(const ShortcutPanel&) = delete;
    ShortcutPanel& operator=(const ShortcutPanel&) = delete;

    // The list is rebuilt from the store after every change. BuildList appends the filters, the
    // permanent and the temporary names, one LoadSection each, and gives 0 or the failure code
    // with what was loaded so far; inside a filter only names whose paths match it are taken,
    // and the filter being shown (`excluded`) is left out of its own list. Refresh clears the
    // list, builds it and has the host show it.
    void Clear();
    void LoadSection(const char* section, bool persistent, bool filterSection,
                     const char* excluded);
    int BuildList();
    void Refresh();
    // Enters the filter of this name and pattern, or leaves any filter with no pattern; the
    // caller refreshes.
    void SetFilter(const char* name, const char* pattern);
    // Fills the item of list entry `index`; its UserData is index + 1, so that 0 means none.
    static void FillPanelItem(PluginPanelItem& item, uint32_t index, const char* name,
                              const char* value, bool hidden, bool filter);
    // The entry an item the host hands back stands for: the one its UserData names, when the
    // list still holds that entry under the item's file name; else none.
    const PanelEntry* ItemEntry(const PluginPanelItem& item) const;
    // The whole name of such an item: its entry's, else the file name as shown.
    void ItemName(const PluginPanelItem& item, TextBuffer& name) const;
    // The whole name of a name's item and whether it is the temporary one. A temporary and a
    // permanent name may share a name, so the entry's section decides; for an item the list no
    // longer holds, the section a jump would take it from (temporary names first).
    void ItemIdentity(const PluginPanelItem& item, TextBuffer& name, bool& temporary) const;
    // 1 with the target of the name an item stands for, read from its own section; else 0.
    int ItemTarget(const PluginPanelItem& item, TextBuffer& target) const;
    // Whether the host's description of a panel lists exactly this panel's items.
    bool Shows(const PanelInfo& info) const;
    // Whether an item's entry is no longer stored (EntryGone), as when another Far on the same
    // registry deleted it: then says so and reads the list again.
    bool Vanished(const char* name, bool filter, bool temporary);

    // The host's requests. They may throw the store's codes; the entry points catch them.
    int GetFindData(PluginPanelItem** panelItems, int* itemsNumber, int opMode);
    void GetOpenPluginInfo(OpenPluginInfo* info);
    int ProcessKey(int key, unsigned int controlState);
    int MakeDirectory(const char* name, int opMode);
    // The host enters a folder: ".." leaves a filter, a filter's name enters it, and another
    // stored name is jumped to; 0 for anything else, and at the top for "..", which closes the
    // panel.
    int SetDirectory(const char* dir);

    // Jumps to a stored name's target on this panel; 0 when it is not stored.
    int GoToName(const char* name);
    // Carries a stored target to this panel or the other one.
    void JumpTo(char* target, bool otherPanel);

    // The name and filter dialogs write the store and refresh the list themselves. Both return
    // 1: the key, or the new folder, that opened them is handled whatever the user chose. An
    // edited name that is temporary stays so unless renamed.
    int EditName(bool edit, const char* itemName, bool itemTemporary);
    int EditFilter(const char* name, const char* pattern);

    TextBuffer title;
    TextBuffer filter;
    // The name of the filter shown, handed to the host as the panel's folder.
    TextBuffer filterName;
    PanelEntry** entries = nullptr;
    PluginPanelItem* items = nullptr;
    uint32_t count = 0;
    uint32_t capacity = 0;
    // Whether the list was built since the host last fetched it, so that the fetch that follows
    // a change need not build it again.
    bool listFresh = false;

    // The panels alive, newest first: a change made on one is shown on another that the host
    // shows beside it.
    static ShortcutPanel* living;
    ShortcutPanel* nextLiving = nullptr;

  private:
    void Grow(uint32_t size);
    int EnterKey(unsigned int controlState);
    int EditKey();
    int AddKey();
    int DeleteKey();
};
