// The far2l plugin driven through the stand-in host built with far2l's layout: what its export
// layer adds to the module (paths with '/', moving a file panel).
#include <filesystem>

#include "scenario_fixture.h"

namespace {

class Far2lPluginTest : public ScenarioTest {
  protected:
    void SetUp() override {
        ScenarioTest::SetUp();
        host_->farVersion = MakeHostVersion(2, 6);
        Restart();
    }
};

TEST_F(Far2lPluginTest, JumpsMoveTheFilePanelAlsoToADirectoryWhoseNameHoldsColons) {
    // Typed into far2l's command line as a plugin command, this name would run its commands.
    const std::string odd = persistentDir_ + "/q:;touch x;:";
    std::filesystem::create_directories(odd + "/sub");
    host_->Active().curDir = odd;
    host_->RunCommandLine("cd::odd");
    host_->Active().curDir = "/";
    host_->RunCommandLine("cd:odd/sub");
    EXPECT_EQ(host_->Active().curDir, odd + "/sub");
    EXPECT_EQ(host_->controls.back().command, FCTL_REDRAWPANEL);
    EXPECT_TRUE(host_->posted.empty());
    EXPECT_TRUE(host_->executed.empty());
}

}  // namespace
