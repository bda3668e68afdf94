// The scenario fixture: loading the module once, warming up its process-wide buffers, and the
// helpers that arrange a store and a panel the way a user would find them.
#include "scenario_fixture.h"

#include <cstdlib>
#include <filesystem>

#include "english_messages.h"

namespace {

std::string loadError;

// The module keeps a few buffers for the life of the process: its prefix, the prefix it handed
// the host before the last change, and the last name a jump did not find. Each of them gets its
// block here, in a store of its own, so that a test's leak check counts only the blocks its
// own calls left behind.
void WarmUp(const ModuleExports& module) {
#ifndef _WIN32
    namespace fs = std::filesystem;
    std::string dir = (fs::temp_directory_path() / "velmora-scenario-XXXXXX").string();
    if (mkdtemp(dir.data()) == nullptr) {
        return;
    }
    setenv("VELMORA_REGISTRY_DIR", (dir + "/reg").c_str(), 1);
    setenv("VELMORA_VOLATILE_DIR", (dir + "/vol").c_str(), 1);
#endif
    {
        SimHost host(EnglishMessages());
        ScriptFrontEnd script;
        host.SetFrontEnd(&script);
        DescribeHost(host);
        host.AttachModule(&module);
        DialogAnswer showErrors;
        showErrors.result = 8;
        showErrors.checks[4] = 1;
        script.AnswerDialog(showErrors);
        host.Configure();
        script.AnswerMessage(0);
        host.RunCommandLine(host.Prefix() + "velmora-warm-up");
    }
#ifndef _WIN32
    std::filesystem::remove_all(dir);
#endif
}

std::string AsText(const std::string& text) {
    return text + std::string(1, '\0');
}

}  // namespace

const ModuleExports& ScenarioTest::Module() {
    static LoadedModule module;
    static bool loaded = [] {
        if (!module.Load(VELMORA_MODULE_PATH, &loadError)) {
            return false;
        }
        WarmUp(module.exports);
        return true;
    }();
    (void)loaded;
    return module.exports;
}

void ScenarioTest::SetUp() {
    ASSERT_NE(Module().SetStartupInfo, nullptr) << loadError;
    FreshStoreTest::SetUp();
    host_ = std::make_unique<SimHost>(EnglishMessages());
    ASSERT_FALSE(Msg(kMsgReplaceName).empty()) << "the English texts could not be read";
    host_->SetFrontEnd(&script_);
    DescribeHost(*host_);
    host_->Active().curDir = HostPath("C:\\work");
    host_->Passive().curDir = HostPath("D:\\other");
    // Tests rely on what they set, not on defaults: no completion unless a test asks for it.
    StoreOption(kAutoComplete, 0);
    Restart();
}

void ScenarioTest::TearDown() {
    if (host_ != nullptr) {
        host_->ClosePanel(host_->Active());
        host_->ClosePanel(host_->Passive());
        EXPECT_EQ(script_.unscripted, 0) << "the module asked a question nobody expected";
        host_.reset();
    }
    FreshStoreTest::TearDown();
}

void ScenarioTest::StoreOption(const char* name, DWORD value) {
    WriteStored("", name, REG_DWORD, std::string(reinterpret_cast<const char*>(&value), 4));
}

void ScenarioTest::Restart() {
    host_->AttachModule(&Module());
    blocksAtStart_ = LiveHeapBlocks();
}

void ScenarioTest::StoreName(const char* name, const std::string& path) {
    WriteStored("\\Keys", name, REG_SZ, AsText(path));
}

void ScenarioTest::StoreTemporaryName(const char* name, const std::string& path) {
    WriteStored("\\TempKeys", name, REG_SZ, AsText(path), true);
}

void ScenarioTest::StoreFilter(const char* name, const std::string& pattern) {
    WriteStored("\\Filters", name, REG_SZ, AsText(pattern));
}

bool ScenarioTest::OpenPanel() {
    host_->OpenFromMenu(OPEN_DISKMENU);
    return host_->Active().plugin != nullptr;
}

std::vector<std::string> ScenarioTest::Listed() {
    std::vector<std::string> names;
    for (const SimItem& item : host_->Active().items) {
        names.push_back(item.name);
    }
    return names;
}

std::vector<std::pair<std::string, DWORD>> ScenarioTest::ListedWithAttributes() {
    std::vector<std::pair<std::string, DWORD>> listed;
    for (const SimItem& item : host_->Active().items) {
        listed.emplace_back(item.name, item.attributes);
    }
    return listed;
}

void ScenarioTest::Point(const std::string& name) {
    ASSERT_TRUE(host_->MoveCursorTo(name)) << name << " is not listed";
}

std::vector<int> ScenarioTest::ControlCommandsSince(size_t start) const {
    std::vector<int> commands;
    for (size_t i = start; i < host_->controls.size(); ++i) {
        commands.push_back(host_->controls[i].command);
    }
    return commands;
}
