// The fixture of the scenario tests: a fresh store, the module loaded once per test program as
// the host loads it (dlopen or LoadLibraryA), and the stand-in host attached to it with the
// English texts, a scripted front end and the ways of the host the build is for
// (scenario_host.h). Tests reach the module only through its exports.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "fresh_store.h"
#include "module_exports.h"
#include "registry_probe.h"
#include "scenario_host.h"
#include "script_front_end.h"
#include "sim_host.h"

// Message numbers of the language file, as the host reads them.
enum ScenarioMessage {
    kMsgPanelName = 1,
    kMsgDeleteKeyLabel = 2,
    kMsgDeleteTitle = 3,
    kMsgDeleteItems = 4,
    kMsgDeleteItem = 5,
    kMsgAddNameTitle = 6,
    kMsgEditNameTitle = 7,
    kMsgNameLabel = 8,
    kMsgPathLabel = 9,
    kMsgTemporaryBox = 10,
    kMsgNameNotFound = 11,
    kMsgRegistryError = 12,
    kMsgNoMemory = 13,
    kMsgUnexpected = 14,
    kMsgErrorTitle = 15,
    kMsgFilterTitle = 25,
    kMsgFilterNameLabel = 26,
    kMsgFilterPatternLabel = 27,
    kMsgFilterKeyLabel = 29,
    kMsgReplaceName = 30,
    kMsgEmptyNameDialog = 32,
    kMsgEmptyPath = 33,
    kMsgEmptyPattern = 34,
    kMsgNameWithSeparator = 36,
    kMsgBadPrefix = 38,
    kMsgNotRunAsCommand = 39,
    kMsgCutTextEdited = 41,
    kMsgPanelWithoutDirectory = 42,
    kMsgNameWithWildcard = 44,
    kMsgDirectoryNotWhole = 45,
    kMsgTargetRunsPrefix = 46,
    kMsgWildcardDirectory = 47,
    kMsgJumpTooLong = 48,
    kMsgRelativePath = 49,
    kMsgNoLongerStored = 50,
};

// Item attributes on the panel.
constexpr DWORD kNameAttributes = 0;
constexpr DWORD kHiddenAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
constexpr DWORD kFilterAttributes = FILE_ATTRIBUTE_DIRECTORY;

class ScenarioTest : public FreshStoreTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The module's exports; the module is loaded at the first call and stays loaded.
    static const ModuleExports& Module();

    // Options are read when the host starts the module: store them, then Restart(). Restart
    // before opening panels, since it takes the heap's state as the test's baseline.
    void StoreOption(const char* name, DWORD value);
    void Restart();

    // Entries written straight into the store, as another program would.
    void StoreName(const char* name, const std::string& path);
    void StoreTemporaryName(const char* name, const std::string& path);
    void StoreFilter(const char* name, const std::string& pattern);

    // Opens the panel from the disk menu on the active side; false when none opened.
    bool OpenPanel();
    // What the active panel lists, in the order the module handed it over.
    std::vector<std::string> Listed();
    std::vector<std::pair<std::string, DWORD>> ListedWithAttributes();
    // Puts the cursor on an item of the active panel.
    void Point(const std::string& name);

    std::string Msg(int id) const { return host_->Message(id); }
    // The lines of the last message box, or none when no box was shown.
    std::vector<std::string> LastMessage() const {
        return host_->messages.empty() ? std::vector<std::string>{} : host_->messages.back().lines;
    }
    // The panel commands the module sent since the host had recorded `start` of them.
    std::vector<int> ControlCommandsSince(size_t start) const;

    std::unique_ptr<SimHost> host_;
    ScriptFrontEnd script_;
};

// The options the tests set most.
constexpr const char kShowErrors[] = "ShowErrors";
constexpr const char kAutoComplete[] = "AutoComplite";
constexpr const char kTemporaryAsHidden[] = "ShowTemporaryNamesAsHideFiles";

// The parts one after another, as one list: what a test expects in a row, built from pieces.
template <class T>
std::vector<T> Join(std::vector<std::vector<T>> parts) {
    std::vector<T> all;
    for (auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}
