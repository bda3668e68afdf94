// The stand-in host. Its services are plain functions in the host's calling convention that
// pass each call to the one running SimHost.
#include "sim_host.h"

#include <strings.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "host_text_rules.h"
#include "store/utf8.h"
#include "wildcard.h"

SimHost* SimHost::current = nullptr;

namespace {

const char* WINAPI SimGetMsg(INT_PTR, int id) {
    return SimHost::current->Message(id);
}

int WINAPI SimMenu(INT_PTR, int, int, int, DWORD flags, const char* title, const char*, const char*,
                   const int*, int*, const FarMenuItem* items, int count) {
    return SimHost::current->Menu(items, count, flags, title);
}

int WINAPI SimDialog(INT_PTR, int, int, int width, int height, const char*, FarDialogItem* items,
                     int count) {
    return SimHost::current->Dialog(width, height, items, count);
}

int WINAPI SimMessage(INT_PTR, DWORD flags, const char*, const char* const* lines, int count,
                      int buttons) {
    return SimHost::current->ShowMessage(flags, lines, count, buttons);
}

int WINAPI SimControl(HANDLE handle, int command, void* param) {
    return SimHost::current->Control(handle, command, param);
}

INT_PTR WINAPI SimAdvControl(INT_PTR, int command, void* param) {
    return SimHost::current->AdvControl(command, param);
}

int WINAPI SimCmpName(const char* pattern, const char* text, int skipPath) {
    return CmpNameWildcard(pattern, text, skipPath, kHostText);
}

int __cdecl SimSprintf(char* buffer, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    int written = std::vsprintf(buffer, format, arguments);
    va_end(arguments);
    return written;
}

std::string TextOf(const void* param) {
    return param != nullptr ? static_cast<const char*>(param) : "";
}

// `line` cut to its first `columns` characters, a UTF-8 character taking one column.
std::string CutToColumns(const std::string& line, int columns) {
    size_t end = 0;
    for (int shown = 0; end < line.size() && shown < columns; ++shown) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(line.data()) + end;
        char32_t ignored = 0;
        size_t length = Utf8Length(bytes, line.size() - end, &ignored);
        end += length != 0 ? length : 1;
    }
    return line.substr(0, end);
}

void CopyCut(char* field, size_t size, const std::string& text) {
    size_t length = std::min(text.size(), size - 1);
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
}

}  // namespace

std::string CommandLineText(const std::string& typed) {
    if (!kDropsTrailingBlanks) {
        return typed;
    }
    return typed.substr(0, typed.find_last_not_of(' ') + 1);
}

SimHost::SimHost(std::vector<std::string> messages) : texts_(std::move(messages)) {
    current = this;
    fsf_.StructSize = sizeof fsf_;
    fsf_.sprintf = SimSprintf;
    info_.StructSize = sizeof info_;
    CopyCut(info_.ModuleName, sizeof info_.ModuleName, "Velmora");
    info_.ModuleNumber = 0x5e1;
    info_.RootKey = "Software\\Far\\Plugins";
    info_.Menu = SimMenu;
    info_.Dialog = SimDialog;
    info_.Message = SimMessage;
    info_.GetMsg = SimGetMsg;
    info_.Control = SimControl;
    info_.CmpName = SimCmpName;
    info_.FSF = &fsf_;
    info_.AdvControl = SimAdvControl;
}

SimHost::~SimHost() {
    if (current == this) {
        current = nullptr;
    }
}

const char* SimHost::Message(int id) const {
    return id >= 0 && static_cast<size_t>(id) < texts_.size() ? texts_[id].c_str() : "";
}

int SimHost::Menu(const FarMenuItem* items, int count, DWORD flags, const char* title) {
    MenuCall call;
    call.flags = flags;
    call.title = TextOf(title);
    for (int i = 0; i < count; ++i) {
        call.items.emplace_back(items[i].Text, strnlen(items[i].Text, sizeof items[i].Text));
        call.selected.push_back(items[i].Selected);
    }
    menus.push_back(call);
    return frontEnd_ != nullptr ? frontEnd_->Menu(call) : -1;
}

int SimHost::Dialog(int width, int height, FarDialogItem* items, int count) {
    DialogCall call;
    call.width = width;
    call.height = height;
    for (int i = 0; i < count; ++i) {
        const FarDialogItem& item = items[i];
        DialogField field;
        field.type = item.Type;
        field.x1 = item.X1;
        field.y1 = item.Y1;
        field.x2 = item.X2;
        field.y2 = item.Y2;
        field.focus = item.Focus;
        field.flags = item.Flags;
        field.defaultButton = item.DefaultButton;
        if (item.Type == DI_EDIT && (item.Flags & DIF_HISTORY)) {
            field.history = TextOf(item.History);
        } else {
            field.selected = item.Selected;
        }
        field.text.assign(item.Data, strnlen(item.Data, sizeof item.Data));
        call.items.push_back(field);
    }
    dialogs.push_back(call);
    int result = frontEnd_ != nullptr ? frontEnd_->Dialog(call) : -1;
    for (int i = 0; i < count; ++i) {
        CopyCut(items[i].Data, sizeof items[i].Data, call.items[i].text);
        if (call.items[i].history.empty() && items[i].Type == DI_CHECKBOX) {
            items[i].Selected = call.items[i].selected;
        }
    }
    return result;
}

int SimHost::ShowMessage(DWORD flags, const char* const* lines, int count, int buttons) {
    MessageCall call;
    call.flags = flags;
    call.buttons = buttons;
    for (int i = 0; i < count; ++i) {
        call.lines.push_back(TextOf(lines[i]));
        if (screenWidth > 0 && kBoxFrameColumns > 0) {
            call.lines.back() = CutToColumns(call.lines.back(), screenWidth - kBoxFrameColumns);
        }
    }
    messages.push_back(call);
    return frontEnd_ != nullptr ? frontEnd_->Message(call) : -1;
}

SimPanel* SimHost::PanelOf(HANDLE handle) {
    if (handle == INVALID_HANDLE_VALUE) {
        return &Active();
    }
    for (SimPanel& panel : panels_) {
        if (panel.plugin != nullptr && panel.plugin == handle) {
            return &panel;
        }
    }
    return nullptr;
}

int SimHost::Control(HANDLE handle, int command, void* param) {
    bool takesText = command == FCTL_CLOSEPLUGIN || command == FCTL_SETANOTHERPANELDIR ||
                     command == FCTL_SETPANELDIR || command == FCTL_SETCMDLINE;
    controls.push_back({handle, command, takesText ? TextOf(param) : ""});
    SimPanel* panel = PanelOf(handle);
    SimPanel* other = panel == nullptr ? nullptr : &panels_[panel == &panels_[0] ? 1 : 0];
    switch (command) {
        case FCTL_CLOSEPLUGIN:
            if (panel == nullptr) {
                return 0;
            }
            if (panel->plugin != nullptr) {
                pendingCloses_.emplace_back(panel, TextOf(param));
            } else if (HostMajorVersion(farVersion) < 2) {
                SetPanelDirectory(*panel, static_cast<const char*>(param));
            }
            return 1;
        case FCTL_SETPANELDIR:
            if (panel == nullptr || panel->plugin != nullptr || missingDirs.count(TextOf(param))) {
                return 0;
            }
            SetPanelDirectory(*panel, static_cast<const char*>(param));
            return 1;
        case FCTL_GETPANELINFO:
            return panel != nullptr && FillPanelInfo(*panel, static_cast<PanelInfo*>(param));
        case FCTL_GETANOTHERPANELINFO:
            return other != nullptr && FillPanelInfo(*other, static_cast<PanelInfo*>(param));
        case FCTL_UPDATEPANEL:
        case FCTL_UPDATEANOTHERPANEL: {
            SimPanel* target = command == FCTL_UPDATEPANEL ? panel : other;
            if (target != nullptr) {
                RefreshPanel(*target);
            }
            return target != nullptr;
        }
        case FCTL_REDRAWPANEL:
        case FCTL_REDRAWANOTHERPANEL:
            return 1;
        case FCTL_SETANOTHERPANELDIR:
            if (other == nullptr) {
                return 0;
            }
            SetPanelDirectory(*other, static_cast<const char*>(param));
            return 1;
        case FCTL_SETCMDLINE:
            commandLine = TextOf(param);
            return 1;
        default:
            return 0;
    }
}

INT_PTR SimHost::AdvControl(int command, void* param) {
    if (command == ACTL_GETFARVERSION) {
        return farVersion;
    }
    if (command != ACTL_POSTKEYSEQUENCE || param == nullptr) {
        return 0;
    }
    const auto* sequence = static_cast<const KeySequence*>(param);
    std::vector<DWORD> keys(sequence->Sequence, sequence->Sequence + sequence->Count);
    posted.push_back(keys);
    pendingKeys_.insert(pendingKeys_.end(), keys.begin(), keys.end());
    return 1;
}

bool SimHost::FillPanelInfo(SimPanel& panel, PanelInfo* info) {
    if (panel.refuseInfo || info == nullptr) {
        return false;
    }
    std::memset(info, 0, sizeof *info);
    if (screenWidth > 0) {
        int half = screenWidth / 2;
        bool left = &panel == &panels_[0];
        info->PanelRect = {left ? 0 : half, 1, left ? half - 1 : screenWidth - 1, 30};
    }
    if (panel.plugin == nullptr) {
        CopyCut(info->CurDir, sizeof info->CurDir, panel.curDir);
        return true;
    }
    // The texts first, so that the pointers into them stay valid.
    panel.shownTexts.clear();
    panel.shownTexts.emplace_back("..");
    for (const SimItem& item : panel.items) {
        panel.shownTexts.push_back(item.description);
    }
    panel.shownItems.assign(panel.items.size() + 1, PluginPanelItem{});
    for (size_t i = 0; i < panel.shownItems.size(); ++i) {
        PluginPanelItem& shown = panel.shownItems[i];
        if (i == 0) {
            shown.FindData.dwFileAttributes = FILE_ATTRIBUTE_DIRECTORY;
            CopyCut(shown.FindData.cFileName, sizeof shown.FindData.cFileName, "..");
        } else {
            const SimItem& item = panel.items[i - 1];
            shown.FindData.dwFileAttributes = item.attributes;
            CopyCut(shown.FindData.cFileName, sizeof shown.FindData.cFileName, item.name);
            shown.Description = panel.shownTexts[i].data();
            shown.UserData = item.userData;
        }
    }
    int count = static_cast<int>(panel.shownItems.size());
    panel.currentItem = std::clamp(panel.currentItem, 0, count - 1);
    panel.shownSelection.clear();
    for (int position : panel.selection) {
        if (position > 0 && position < count) {
            panel.shownSelection.push_back(panel.shownItems[position]);
            panel.shownSelection.back().Flags = 0x40000000;  // PPIF_SELECTED
        }
    }
    if (panel.shownSelection.empty() && (panel.currentItem != 0 || dotsSelectable)) {
        panel.shownSelection.push_back(panel.shownItems[panel.currentItem]);
    }
    info->Plugin = 1;
    info->PanelItems = panel.shownItems.data();
    info->ItemsNumber = count;
    info->CurrentItem = panel.currentItem;
    info->SelectedItems = panel.shownSelection.empty() ? nullptr : panel.shownSelection.data();
    info->SelectedItemsNumber = static_cast<int>(panel.shownSelection.size());
    info->Visible = 1;
    return true;
}

void SimHost::SetPanelDirectory(SimPanel& panel, const char* dir) {
    if (panel.plugin != nullptr) {
        ClosePanel(panel);
    }
    panel.curDir = TextOf(dir);
    if (slashPaths) {
        std::replace(panel.curDir.begin(), panel.curDir.end(), '\\', '/');
    }
}

void SimHost::AttachModule(const ModuleExports* module) {
    module_ = module;
    module_->SetStartupInfo(&info_);
    pluginInfo_ = PluginInfo{};
    pluginInfo_.StructSize = sizeof pluginInfo_;
    module_->GetPluginInfo(&pluginInfo_);
}

std::string SimHost::Prefix() const {
    return TextOf(pluginInfo_.CommandPrefix);
}

void SimHost::ShowModulePanel(SimPanel& panel, HANDLE handle) {
    if (panel.plugin != nullptr) {
        ClosePanel(panel);
    }
    panel.plugin = handle;
    panel.currentItem = 0;
    panel.selection.clear();
    RefreshPanel(panel);
}

void SimHost::RefreshPanel(SimPanel& panel) {
    if (module_ == nullptr || panel.plugin == nullptr) {
        return;
    }
    OpenPluginInfo look{};
    look.StructSize = sizeof look;
    module_->GetOpenPluginInfo(panel.plugin, &look);
    panel.title = TextOf(look.PanelTitle);
    panel.folder = TextOf(look.CurDir);
    panel.flags = look.Flags;
    panel.keyBar.assign(12, "");
    for (int key = 0; look.KeyBar != nullptr && key < 12; ++key) {
        panel.keyBar[key] = TextOf(look.KeyBar->Titles[key]);
    }
    // The module may describe the panel while it hands over the items: until then the panel
    // lists what it did, as a host's panel does, so the cursor keeps its place.
    PluginPanelItem* items = nullptr;
    int count = 0;
    std::vector<SimItem> fetched;
    if (module_->GetFindData(panel.plugin, &items, &count, 0)) {
        for (int i = 0; i < count; ++i) {
            const PluginPanelItem& item = items[i];
            const char* name = item.FindData.cFileName;
            fetched.push_back({std::string(name, strnlen(name, sizeof item.FindData.cFileName)),
                               item.FindData.dwFileAttributes, TextOf(item.Description),
                               item.UserData});
        }
    }
    panel.items = std::move(fetched);
    panel.selection.clear();
    panel.currentItem = std::clamp(panel.currentItem, 0, static_cast<int>(panel.items.size()));
}

void SimHost::ClosePanel(SimPanel& panel) {
    if (panel.plugin == nullptr) {
        return;
    }
    HANDLE handle = panel.plugin;
    panel.plugin = nullptr;
    panel.items.clear();
    panel.selection.clear();
    panel.title.clear();
    panel.keyBar.clear();
    if (module_ != nullptr) {
        module_->ClosePlugin(handle);
    }
}

void SimHost::AfterModuleCall() {
    auto closes = std::move(pendingCloses_);
    pendingCloses_.clear();
    for (auto& [panel, dir] : closes) {
        SetPanelDirectory(*panel, dir.c_str());
    }
    std::vector<DWORD> keys = std::move(pendingKeys_);
    pendingKeys_.clear();
    // A jump posts keys at most twice over (a command, then the prefix on the other panel).
    constexpr int kDeepestPlay = 8;
    if (!keys.empty() && playing_ == kDeepestPlay) {
        endlessKeys = true;
        return;
    }
    ++playing_;
    for (DWORD key : keys) {
        if (key == 9) {
            SwitchPanels();
        } else if (key == 13) {
            std::string line = std::move(commandLine);
            commandLine.clear();
            RunCommandLine(line);
        } else if (key < 256) {
            commandLine += static_cast<char>(key);
        }
    }
    --playing_;
}

void SimHost::OpenFromMenu(int openFrom) {
    HANDLE handle = module_->OpenPlugin(openFrom, 0);
    if (handle != INVALID_HANDLE_VALUE && handle != nullptr) {
        ShowModulePanel(Active(), handle);
    }
    AfterModuleCall();
}

void SimHost::RunCommandLine(const std::string& line) {
    std::string prefix = Prefix();
    if (module_ == nullptr || prefix.empty() || line.size() < prefix.size() ||
        strncasecmp(line.c_str(), prefix.c_str(), prefix.size()) != 0) {
        executed.push_back(line);
        return;
    }
    RunModuleCommand(line.substr(prefix.size()));
}

void SimHost::RunModuleCommand(const std::string& text) {
    if (module_ == nullptr) {
        return;
    }
    const std::string handed = CommandLineText(text);
    HANDLE handle =
        module_->OpenPlugin(OPEN_COMMANDLINE, reinterpret_cast<INT_PTR>(handed.c_str()));
    if (handle != INVALID_HANDLE_VALUE && handle != nullptr) {
        ShowModulePanel(Active(), handle);
    }
    AfterModuleCall();
}

int SimHost::PressKey(int key, unsigned int controlState) {
    SimPanel& panel = Active();
    if (module_ == nullptr || panel.plugin == nullptr) {
        return 0;
    }
    int handled = 0;
    if (keyPasses) {
        handled = module_->ProcessKey(panel.plugin, key | PKF_PREPROCESS, controlState);
    }
    if (!handled) {
        handled = module_->ProcessKey(panel.plugin, key, controlState);
    }
    if (!handled && panel.plugin != nullptr) {
        // What the host does itself with the keys the module left to it.
        bool onDots = panel.currentItem == 0;
        const SimItem* item = onDots ? nullptr : &panel.items[panel.currentItem - 1];
        bool onFolder = item != nullptr && (item->attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        bool up = (key == KEY_RETURN && controlState == 0 && onDots) ||
                  (key == kSimKeyPageUp && controlState == PKF_CONTROL);
        bool down = (key == KEY_RETURN && controlState == 0 && onFolder) ||
                    (key == kSimKeyPageDown && controlState == PKF_CONTROL && onFolder);
        if (up && panel.folder.empty()) {
            ClosePanel(panel);
        } else if (up || down) {
            ChangeFolder(panel, up ? ".." : item->name);
        } else if (key == KEY_F7 && controlState == 0) {
            MakeDirectory();
        }
    }
    AfterModuleCall();
    if (keyPasses && panel.plugin != nullptr) {
        for (int release : {PKF_PREPROCESS | kFar2lKeyRelease, kFar2lKeyRelease}) {
            module_->ProcessKey(panel.plugin, release, 0);
        }
        AfterModuleCall();
    }
    return handled;
}

void SimHost::EnterFolder(const std::string& dir) {
    if (module_ == nullptr || Active().plugin == nullptr) {
        return;
    }
    ChangeFolder(Active(), dir);
    AfterModuleCall();
}

void SimHost::ChangeFolder(SimPanel& panel, const std::string& dir) {
    std::string left = panel.folder;
    if (!module_->SetDirectory(panel.plugin, dir.c_str(), 0) || panel.plugin == nullptr) {
        return;
    }
    RefreshPanel(panel);
    panel.currentItem = 0;
    if (dir == "..") {
        MoveCursorTo(left.substr(left.find_last_of("/\\") + 1));
    }
}

int SimHost::MakeDirectory() {
    SimPanel& panel = Active();
    if (module_ == nullptr || panel.plugin == nullptr) {
        return 0;
    }
    char name[4096] = {};
    int result = module_->MakeDirectory(panel.plugin, name, 0);
    if (result) {
        RefreshPanel(panel);
    }
    AfterModuleCall();
    return result;
}

int SimHost::Configure() {
    int result = module_->Configure(0);
    module_->GetPluginInfo(&pluginInfo_);
    return result;
}

bool SimHost::MoveCursorTo(const std::string& name) {
    SimPanel& panel = Active();
    for (size_t i = 0; i < panel.items.size(); ++i) {
        if (panel.items[i].name == name) {
            panel.currentItem = static_cast<int>(i) + 1;
            return true;
        }
    }
    return false;
}
