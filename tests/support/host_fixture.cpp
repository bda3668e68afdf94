// The host fixture for tests of the module's code.
#include "host_fixture.h"

#include "host/host_services.h"
#include "host/module_state.h"
#include "host/settings.h"

namespace {

// The module is loaded once per test program, so each test puts its state back as it is at
// load: options 0, no prefix, no unknown name.
void ResetModuleState() {
    Settings.Prefix.Clear();
    Settings.ShowErrors = 0;
    Settings.ShowInPluginsMenu = 0;
    Settings.ShowInDiskMenu = 0;
    Settings.ShowTemporaryNamesAsHideFiles = 0;
    Settings.UseHighlighting = 0;
    Settings.AutoComplite = 0;
    LastUnknownName.Clear();
}

}  // namespace

void HostTest::SetUp() {
    ResetModuleState();
    FreshStoreTest::SetUp();
    sim_ = std::make_unique<SimHost>(EnglishMessages());
    ASSERT_GT(sim_->Message(30)[0], 0) << "the English texts could not be read";
    sim_->SetFrontEnd(&script_);
    CopyHostServices(sim_->StartupInfo());
}

void HostTest::TearDown() {
    ResetModuleState();
    sim_.reset();
    FreshStoreTest::TearDown();
}

void HostTest::StartModule() {
    LoadSettings();
}
