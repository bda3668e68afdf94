// The stand-in host: every service the module calls, two panels, a command line that plays
// posted keys back, and the host's side of the module's exports (opening panels, fetching their
// items, passing keys). It records every call the module makes, so tests can assert what the
// host saw, and hands questions to a front end.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "abi/plugin_abi.h"
#include "front_end.h"
#include "module_exports.h"

struct SimItem {
    std::string name;
    DWORD attributes = 0;
    std::string description;
    // The module's own number for the item, handed back with it as the hosts do.
    DWORD_PTR userData = 0;
};

struct SimPanel {
    std::string curDir;
    // The module's panel shown here, or none for a file panel.
    HANDLE plugin = nullptr;
    // A module panel's items as last fetched, without the ".." the host puts first.
    std::vector<SimItem> items;
    // Positions on the panel: on a module panel 0 is "..".
    int currentItem = 0;
    std::vector<int> selection;
    // The panel's look as the module last described it; `folder` is the module panel's CurDir,
    // empty at its top.
    std::string title;
    std::string folder;
    std::vector<std::string> keyBar;  // labels of F1 to F12; empty where the host's stays
    DWORD flags = 0;
    // Answer 0 to requests for this panel's information.
    bool refuseInfo = false;

    // What the host handed the module in the last PanelInfo of this panel.
    std::vector<PluginPanelItem> shownItems;
    std::vector<PluginPanelItem> shownSelection;
    std::vector<std::string> shownTexts;
};

// The host's keys for going up a folder and into one, with PKF_CONTROL.
constexpr int kSimKeyPageUp = 0x21;
constexpr int kSimKeyPageDown = 0x22;

struct ControlCall {
    HANDLE handle;
    int command;
    std::string text;  // the directory, for the commands that take one
};

// The text behind the prefix as the host hands it to the module: far2l drops the blanks at its
// end (a name typed with a blank behind it is found) and keeps those at its start.
std::string CommandLineText(const std::string& typed);

class SimHost {
  public:
    // `messages` are the module's texts by number, as the host reads them from its files.
    explicit SimHost(std::vector<std::string> messages);
    ~SimHost();
    SimHost(const SimHost&) = delete;
    SimHost& operator=(const SimHost&) = delete;

    // The record the host hands the module, its service tables filled in.
    const PluginStartupInfo* StartupInfo() const { return &info_; }
    void SetFrontEnd(FrontEnd* frontEnd) { frontEnd_ = frontEnd; }

    SimPanel& Active() { return panels_[active_]; }
    SimPanel& Passive() { return panels_[1 - active_]; }
    void SwitchPanels() { active_ = 1 - active_; }

    // Directories the module sends a panel to are given with '/' for '\' when set, as the host
    // on a system with '/' paths would take them.
    bool slashPaths = false;
    // The host lists the item under the cursor as selected also when it is ".." (the Windows
    // host does, far2l does not).
    bool dotsSelectable = true;
    // What ACTL_GETFARVERSION answers, in the layout's format. From major 2 on the host behaves
    // like Far 3 and far2l: FCTL_CLOSEPLUGIN leaves a file panel where it is.
    INT_PTR farVersion = MakeHostVersion(1, 70);
    // far2l passes a key to a module's panel in up to four ProcessKey calls (kFar2lKeyRelease
    // says which). Off: the one call of the Windows hosts.
    bool keyPasses = false;
    // Directories that do not exist: FCTL_SETPANELDIR answers 0 for them and moves nothing.
    std::set<std::string> missingDirs;
    // The screen's width in columns, 0 for none (the velmora program shows a box's lines whole):
    // the two panels share it half and half in their PanelRect, and the far2l host cuts each
    // line of a message box as far2l does, at the width less its frame and margins.
    int screenWidth = 0;

    // What the module did.
    std::vector<ControlCall> controls;
    std::vector<std::vector<DWORD>> posted;
    std::vector<MenuCall> menus;
    std::vector<DialogCall> dialogs;
    // The boxes as the screen shows them.
    std::vector<MessageCall> messages;
    // Command lines the host ran that were not for this module (other plugins' commands).
    std::vector<std::string> executed;
    // Set when posted keys ran a command that posted keys again, deeper than any jump goes:
    // a real host would play them for ever. The stand-in stops there.
    bool endlessKeys = false;
    std::string commandLine;

    // The host's side of the module, once it is loaded: hands over the services and reads the
    // module's menus and prefix.
    void AttachModule(const ModuleExports* module);
    const PluginInfo& Info() const { return pluginInfo_; }
    std::string Prefix() const;

    // Host actions, each followed by what the host does after the module returned: closing
    // panels the module asked to close and playing posted keys.
    void OpenFromMenu(int openFrom);
    void RunCommandLine(const std::string& line);
    // Hands `text` to the module as the text behind its prefix, as RunCommandLine does for a
    // line that starts with the prefix; also when the prefix is empty.
    void RunModuleCommand(const std::string& text);
    // A key on the active panel: the module's ProcessKey first; a key it leaves is the host's
    // own (Enter and Ctrl+PgUp on "..", Enter and Ctrl+PgDn on a folder change the folder).
    int PressKey(int key, unsigned int controlState);
    // Enters the folder `dir` of the module panel on the active side, as the host enters one
    // that the user picked.
    void EnterFolder(const std::string& dir);
    int MakeDirectory();
    int Configure();
    void ClosePanel(SimPanel& panel);
    // Fetches a module panel's items and look anew.
    void RefreshPanel(SimPanel& panel);
    // Moves the cursor to the item of that name; false when the panel has none.
    bool MoveCursorTo(const std::string& name);

    // The services, as the module calls them.
    static SimHost* current;
    const char* Message(int id) const;
    int Menu(const FarMenuItem* items, int count, DWORD flags, const char* title);
    int Dialog(int width, int height, FarDialogItem* items, int count);
    int ShowMessage(DWORD flags, const char* const* lines, int count, int buttons);
    int Control(HANDLE handle, int command, void* param);
    INT_PTR AdvControl(int command, void* param);

  private:
    SimPanel* PanelOf(HANDLE handle);
    bool FillPanelInfo(SimPanel& panel, PanelInfo* info);
    void ShowModulePanel(SimPanel& panel, HANDLE handle);
    void AfterModuleCall();
    void SetPanelDirectory(SimPanel& panel, const char* dir);
    // The host's move to another folder of a module panel: SetDirectory, then the new list, with
    // the cursor on the folder left when going up, else at the top.
    void ChangeFolder(SimPanel& panel, const std::string& dir);

    std::vector<std::string> texts_;
    PluginStartupInfo info_{};
    FarStandardFunctions fsf_{};
    FrontEnd* frontEnd_ = nullptr;
    const ModuleExports* module_ = nullptr;
    PluginInfo pluginInfo_{};
    SimPanel panels_[2];
    int active_ = 0;
    std::vector<DWORD> pendingKeys_;
    // How many plays of posted keys are running, each inside the one before.
    int playing_ = 0;
    // Panels whose module panel asked to be closed, with the directory to show then.
    std::vector<std::pair<SimPanel*, std::string>> pendingCloses_;
};

// Gives the host the version and the ways of the host this build stands in for, where they are
// not the defaults (Far 1.70's): far2l answers 2.6 and never lists ".." as selected. Defined
// beside the host's text rules (host_text_far.cpp, host_text_far2l.cpp).
void TakeBuiltHostsWays(SimHost& host);
