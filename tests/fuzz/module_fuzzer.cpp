// libFuzzer over the module as the host drives it: arbitrary command-line texts, the panel's
// keys with any control state, menus, dialogs and questions answered from the input, entries
// of any shape written into the store beforehand, and the platform's failure hooks (a heap
// request refused, a key that cannot be opened, a store that fails) chosen by the input.
// After every input the module must have released every heap block and closed every key.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "front_end.h"
#include "entry/entry_points.h"
#include "host/module_state.h"
#include "lng_file.h"
#include "sim_host.h"
#include "store_faults.h"
#include "test_hooks.h"

namespace {

// The input, read front to back; once it runs out every read gives zeros.
class Input {
  public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool Empty() const { return at_ >= size_; }
    unsigned Byte() { return at_ < size_ ? data_[at_++] : 0; }
    unsigned Word() { return Byte() | Byte() << 8; }
    // A length byte and that many bytes; with the length's top bit set the text is repeated
    // to some hundred bytes, past the host's fields.
    std::string Text() {
        unsigned length = Byte();
        std::string text;
        for (unsigned i = 0; i < (length & 0x3F) && !Empty(); ++i) {
            text += static_cast<char>(Byte());
        }
        if ((length & 0x80) != 0 && !text.empty()) {
            while (text.size() < 600) {
                text += text;
            }
        }
        return text;
    }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

// Menus, dialogs and questions answered from the input.
class FuzzFrontEnd : public FrontEnd {
  public:
    explicit FuzzFrontEnd(Input& input) : input_(input) {}

    int Menu(const MenuCall& call) override {
        return static_cast<int>(input_.Byte() % (call.items.size() + 1)) - 1;
    }
    int Dialog(DialogCall& call) override {
        for (DialogField& field : call.items) {
            if (field.type == DI_EDIT && (input_.Byte() & 1) != 0) {
                field.text = input_.Text();
            } else if (field.type == DI_CHECKBOX) {
                field.selected = static_cast<int>(input_.Byte() & 1);
            }
        }
        return static_cast<int>(input_.Byte() % (call.items.size() + 1)) - 1;
    }
    int Message(const MessageCall&) override { return static_cast<int>(input_.Byte() % 3) - 1; }

  private:
    Input& input_;
};

const char* const kSections[] = {"", "\\Keys", "\\TempKeys", "\\Filters"};

std::string SectionPath(unsigned section) {
    return std::string("Software\\Far\\Plugins\\Velmora") + kSections[section % 4];
}

// Writes a value of any type straight into the store, as another program could; `data` is
// stored as it is, a text's terminator included only when it holds one.
void StoreEntry(unsigned section, const std::string& name, DWORD type, const std::string& data) {
    HKEY key = nullptr;
    DWORD options = section % 4 == 2 ? REG_OPTION_VOLATILE : REG_OPTION_NON_VOLATILE;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, SectionPath(section).c_str(), 0, nullptr, options,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return;
    }
    RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                   static_cast<DWORD>(data.size()));
    RegCloseKey(key);
}

// Deletes every value of the module's sections: each input starts from an empty store, at a
// fraction of the cost of new store files.
void EmptyStore() {
    static char name[1 << 16];
    for (unsigned section = 0; section < 4; ++section) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, SectionPath(section).c_str(), 0, KEY_ALL_ACCESS,
                          &key) != ERROR_SUCCESS) {
            continue;
        }
        DWORD size = sizeof name;
        while (RegEnumValueA(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr) ==
                   ERROR_SUCCESS &&
               RegDeleteValueA(key, name) == ERROR_SUCCESS) {
            size = sizeof name;
        }
        RegCloseKey(key);
    }
}

// Keys the panel handles, and a few it does not, by index; the rest of the byte's range gives
// key codes as they come.
int KeyFrom(Input& input) {
    static const int kKeys[] = {KEY_LBUTTON, KEY_RETURN, KEY_R,  KEY_F3,  KEY_F4, KEY_F5,
                                KEY_F6,      KEY_F7,     KEY_F8, 0x80000, 0x2E,   0x7A};
    unsigned pick = input.Byte();
    constexpr unsigned kCount = sizeof kKeys / sizeof kKeys[0];
    return pick < 4 * kCount ? kKeys[pick % kCount] : static_cast<int>(input.Word());
}

const ModuleExports& Module() {
    static ModuleExports exports = [] {
        ModuleExports e;
        e.SetStartupInfo = entry::SetStartupInfo;
        e.GetMinFarVersion = entry::GetMinFarVersion;
        e.GetPluginInfo = entry::GetPluginInfo;
        e.OpenPlugin = entry::OpenPlugin;
        e.ClosePlugin = entry::ClosePlugin;
        e.Configure = entry::Configure;
        e.GetOpenPluginInfo = entry::GetOpenPluginInfo;
        e.GetFindData = entry::GetFindData;
        e.SetDirectory = entry::SetDirectory;
        e.ProcessKey = entry::ProcessKey;
        e.MakeDirectory = entry::MakeDirectory;
        return e;
    }();
    return exports;
}

std::vector<std::string> messages;
std::string storeDir;

void Fail(const char* what) {
    std::fprintf(stderr, "module_fuzzer: %s\n", what);
    std::abort();
}

// Runs the host's actions the input asks for. Each action comes as two bytes: what to do, and
// which of the action's heap requests to refuse (none below 128, else the first to the
// 128th), so that a refusal lands inside the action it is meant for. While the whole input
// is swept, one request of the whole run is refused instead.
void Drive(SimHost& host, Input& input, bool sweeping) {
    for (int steps = 0; steps < 64 && !input.Empty(); ++steps) {
        SimPanel& panel = host.Active();
        unsigned action = input.Byte();
        unsigned refused = input.Byte();
        if (!sweeping) {
            VelmoraFailHeapRequest(refused >= 128 ? refused - 127 : 0);
        }
        switch (action % 13) {
            case 0:
                host.RunModuleCommand(input.Text());
                break;
            case 1:
                host.OpenFromMenu(input.Byte() & 1 ? OPEN_PLUGINSMENU : OPEN_DISKMENU);
                break;
            case 2: {
                int key = KeyFrom(input);
                unsigned state = input.Byte();
                host.PressKey(key, state < 0xF0 ? state & 7 : state << 12);
                break;
            }
            case 3:
                panel.currentItem = static_cast<int>(input.Byte() % (panel.items.size() + 1));
                break;
            case 4:
                panel.selection.push_back(
                    static_cast<int>(input.Byte() % (panel.items.size() + 1)));
                break;
            case 5:
                host.MakeDirectory();
                break;
            case 6:
                host.Configure();
                break;
            case 7:
                host.SwitchPanels();
                break;
            case 8: {
                // Texts with or without their terminator, and values of another type.
                unsigned section = input.Byte();
                std::string name = input.Text();
                std::string data = input.Text();
                if ((section & 0x20) == 0) {
                    data += '\0';
                }
                StoreEntry(section, name, section & 0x10 ? REG_DWORD : REG_SZ, data);
                break;
            }
            case 9:
                if (panel.plugin != nullptr) {
                    std::string dir = input.Text();
                    Module().SetDirectory(panel.plugin, dir.c_str(), 0);
                }
                break;
            case 10:
                host.ClosePanel(panel);
                break;
            case 11:
                host.RefreshPanel(panel);
                break;
            case 12: {
                unsigned flags = input.Byte();
                host.dotsSelectable = (flags & 1) != 0;
                host.slashPaths = (flags & 2) != 0;
                panel.refuseInfo = (flags & 4) != 0;
                break;
            }
        }
        if (!sweeping) {
            VelmoraFailHeapRequest(0);
        }
    }
}

// The module keeps a few buffers for the life of the process; they are emptied around each
// input so that the input's own blocks are all that is counted.
void ForgetModuleState() {
    Settings.Prefix.Clear();
    LastUnknownName.Clear();
}

// Runs the input once, with the `refused`th heap request of its actions refused when that is
// not 0; gives the number of heap requests its actions made.
unsigned RunOnce(const uint8_t* data, size_t size, unsigned refused) {
    Input input(data, size);
    EmptyStore();
    ForgetModuleState();
    unsigned options = input.Byte();
    const char* const kOptions[] = {"ShowErrors", "AutoComplite", "ShowTemporaryNamesAsHideFiles"};
    for (unsigned i = 0; i < 3; ++i) {
        DWORD value = (options >> i) & 1;
        StoreEntry(0, kOptions[i], REG_DWORD, std::string(reinterpret_cast<char*>(&value), 4));
    }
    unsigned failure = input.Byte();
    int major = 1 + static_cast<int>(input.Byte() % 3);

    size_t blocks = VelmoraLiveHeapBlocks();
    unsigned made = 0;
    {
        SimHost host(messages);
        FuzzFrontEnd frontEnd(input);
        host.SetFrontEnd(&frontEnd);
        host.farVersion = MakeHostVersion(major, 0);
        host.Active().curDir = "C:\\work";
        host.Passive().curDir = "/home/user/other";
        host.AttachModule(&Module());
        if (failure >= 1 && failure <= 4) {
            VelmoraFailKeyOpen(SectionPath(failure - 1).c_str());
        } else if (failure >= 0xE0) {
            VelmoraFailStore(failure & 1, 1 + (failure >> 1) % 8);
        }
        unsigned before = VelmoraHeapRequests();
        VelmoraFailHeapRequest(refused);
        Drive(host, input, refused != 0);
        VelmoraFailHeapRequest(0);
        made = VelmoraHeapRequests() - before;
        VelmoraFailKeyOpen(nullptr);
        VelmoraFailStore(kVelmoraPersistentStore, kStoreFaultNone);
        VelmoraFailStore(kVelmoraVolatileStore, kStoreFaultNone);
        host.ClosePanel(host.Active());
        host.ClosePanel(host.Passive());
    }
    ForgetModuleState();
    VelmoraClearStoreFaults();
    if (VelmoraLiveHeapBlocks() != blocks) {
        Fail("heap blocks leaked");
    }
    if (VelmoraOpenKeys() != 0) {
        Fail("a registry key was left open");
    }
    return made;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string language;
    LoadLanguageFile(VELMORA_LNG_DIR "/VelmoraEng.lng", &messages, &language);
    // A store in memory where there is one.
    std::filesystem::path base =
        std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
    storeDir = (base / ("velmora-fuzz-" + std::to_string(getpid()))).string();
    setenv("VELMORA_REGISTRY_DIR", (storeDir + "/reg").c_str(), 1);
    setenv("VELMORA_VOLATILE_DIR", (storeDir + "/vol").c_str(), 1);
    std::atexit([] { std::filesystem::remove_all(storeDir); });
    // The prefix block the host was handed is kept aside once the prefix first changes, and
    // stays for the life of the process: that happens here, before any input is counted.
    {
        SimHost host(messages);
        // Five check boxes as they are, the prefix field kept, then the OK button.
        std::vector<uint8_t> confirm = {0, 0, 0, 0, 0, 0, 9};
        Input input(confirm.data(), confirm.size());
        FuzzFrontEnd frontEnd(input);
        host.SetFrontEnd(&frontEnd);
        host.AttachModule(&Module());
        host.Configure();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // With the options' top two bits the input is run again with one in every eight of its
    // heap requests refused in turn (one in `made` / 16 for long runs), from the one the next
    // three bits name: the failure roads it passes are taken without running it for each.
    unsigned made = RunOnce(data, size, 0);
    if (size > 0 && (data[0] & 0xC0) == 0xC0) {
        unsigned stride = made / 16 > 8 ? made / 16 : 8;
        for (unsigned n = 1 + (data[0] >> 3 & 7); n <= made; n += stride) {
            RunOnce(data, size, n);
        }
    }
    return 0;
}
