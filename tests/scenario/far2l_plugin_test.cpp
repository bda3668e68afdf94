// The far2l plugin driven through the stand-in host built with far2l's layout: what its export
// layer adds to the module (paths with '/', moving a file panel, the store's faults).
#include <filesystem>
#include <fstream>

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

TEST_F(Far2lPluginTest, AStoreThatCannotBeUsedIsShownOncePerSession) {
    const std::string blocker = persistentDir_ + "/blocker";
    std::ofstream(blocker) << "a file where the store's folder should be";
    setenv("VELMORA_REGISTRY_DIR", (blocker + "/registry").c_str(), 1);
    script_.AnswerMessage(0);
    host_->RunCommandLine("cd:");
    ASSERT_NE(host_->Active().plugin, nullptr);
    host_->PressKey(KEY_R, PKF_CONTROL);
    host_->RunCommandLine("cd:nosuch");
    ASSERT_EQ(host_->messages.size(), 1u);
    EXPECT_EQ(host_->messages[0].lines[0], Msg(kMsgErrorTitle));
    EXPECT_NE(host_->messages[0].lines[1].find(blocker), std::string::npos)
        << host_->messages[0].lines[1];
}

}  // namespace
