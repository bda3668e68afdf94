// Posting plugin commands and the panel's jumps to a stored name, here and on the other panel.
#include "commands/jump.h"

#include <string>
#include <vector>

#include "entry/command_line.h"
#include "host/host_services.h"
#include "host/module_state.h"
#include "host_fixture.h"
#include "panel/shortcut_panel.h"
#include "store/name_store.h"

namespace {

class JumpTest : public HostTest {
  protected:
    void SetUp() override {
        HostTest::SetUp();
        StartModule();
    }

    static std::vector<DWORD> Keys(const std::string& text) {
        return std::vector<DWORD>(text.begin(), text.end());
    }
};

TEST_F(JumpTest, PluginCommandForOtherPanelTypesItThereAndThePrefixBackHere) {
    PostPluginCommand("ftp:srv", true);
    ASSERT_EQ(sim_->posted.size(), 1u);
    EXPECT_EQ(sim_->posted[0],
              (std::vector<DWORD>{9, 102, 116, 112, 58, 115, 114, 118, 13, 9, 99, 100, 58, 13}));
    PostPluginCommand("ftp:srv", false);
    EXPECT_EQ(sim_->posted[1], (std::vector<DWORD>{102, 116, 112, 58, 115, 114, 118, 13}));
    EXPECT_EQ(PostedKeys.Flags, 0u);
    EXPECT_EQ(PostedKeys.Count, 8);
}

TEST_F(JumpTest, HighCharactersArePostedUnsignedAndEmptyPrefixEndsWithTabEnter) {
    Settings.Prefix.Assign("");
    PostPluginCommand("ab\xE9:\xFF", true);
    ASSERT_EQ(sim_->posted.size(), 1u);
    EXPECT_EQ(sim_->posted[0], (std::vector<DWORD>{9, 'a', 'b', 0xE9, ':', 0xFF, 13, 9, 13}));
}

TEST_F(JumpTest, NoMemoryForTheKeysPostsNothingAndReportsNothing) {
    REQUIRE_HOOKS();
    Settings.ShowErrors = 1;
    FailHeapRequest(1);
    PostPluginCommand("ftp:srv", false);
    EXPECT_TRUE(sim_->posted.empty());
    EXPECT_TRUE(sim_->messages.empty());
}

TEST_F(JumpTest, PanelJumpsLookNamesUpWholeAndMissesCallNothing) {
    AddName("a/b", "D:\\ab", true);
    ShortcutPanel panel;
    sim_->controls.clear();
    EXPECT_EQ(panel.GoToName("a"), 0);
    EXPECT_TRUE(sim_->controls.empty());
    EXPECT_EQ(panel.GoToName("a/b"), 1);
    ASSERT_EQ(sim_->controls.size(), 1u);
    EXPECT_EQ(sim_->controls[0].handle, static_cast<HANDLE>(&panel));
    EXPECT_EQ(sim_->controls[0].command, FCTL_CLOSEPLUGIN);
    EXPECT_EQ(sim_->controls[0].text, "D:\\ab");
}

TEST_F(JumpTest, DirectoryOnOtherPanelLeavesThisPanelOpen) {
    ShortcutPanel panel;
    sim_->Active().plugin = &panel;
    sim_->controls.clear();
    char target[] = "D:\\www";
    panel.JumpTo(target, true);
    ASSERT_EQ(sim_->controls.size(), 3u);
    EXPECT_EQ(sim_->controls[0].command, FCTL_SETANOTHERPANELDIR);
    EXPECT_EQ(sim_->controls[0].text, "D:\\www");
    EXPECT_EQ(sim_->controls[1].command, FCTL_UPDATEANOTHERPANEL);
    EXPECT_EQ(sim_->controls[2].command, FCTL_REDRAWANOTHERPANEL);
    EXPECT_EQ(sim_->Passive().curDir, "D:\\www");
    sim_->Active().plugin = nullptr;
}

TEST_F(JumpTest, JumpsMoveAFilePanelAndCloseTheNamePanelOnEveryHost) {
    AddName("web", "D:\\www", true);
    const std::vector<int> written = {FCTL_CLOSEPLUGIN};
    const std::vector<int> moved = {FCTL_GETPANELINFO, FCTL_SETPANELDIR, FCTL_REDRAWPANEL};
    const std::vector<int> closed = {FCTL_GETPANELINFO, FCTL_CLOSEPLUGIN};
    const struct {
        INT_PTR answer;
        std::vector<int> fromFilePanel;
        std::vector<int> fromNamePanel;
    } hosts[] = {
        {MakeHostVersion(1, 70), written, written},
        {0, written, written},  // a host that does not say is taken for 1.70
        {MakeHostVersion(2, 6), moved, closed},
        {MakeHostVersion(3, 0) | static_cast<INT_PTR>(5511) << 16, moved, closed},
    };
    auto commands = [this] {
        std::vector<int> sent;
        for (const ControlCall& call : sim_->controls) {
            sent.push_back(call.command);
        }
        sim_->controls.clear();
        return sent;
    };
    for (const auto& host : hosts) {
        sim_->farVersion = host.answer;
        CopyHostServices(sim_->StartupInfo());
        sim_->Active().curDir = "C:\\";
        sim_->controls.clear();
        EXPECT_EQ(ProcessCommandLine("web"), 0);
        EXPECT_EQ(commands(), host.fromFilePanel) << host.answer;
        EXPECT_EQ(sim_->Active().curDir, "D:\\www") << host.answer;

        ShortcutPanel panel;
        sim_->Active().plugin = &panel;
        sim_->controls.clear();
        EXPECT_EQ(panel.GoToName("web"), 1);
        EXPECT_EQ(commands(), host.fromNamePanel) << host.answer;
        sim_->Active().plugin = nullptr;
    }
}

TEST_F(JumpTest, PluginCommandTargetsArePostedForEitherPanel) {
    AddName("site", "ftp:srv", true);
    ShortcutPanel panel;
    EXPECT_EQ(panel.GoToName("site"), 1);
    char target[] = "ftp:srv";
    panel.JumpTo(target, true);
    ASSERT_EQ(sim_->posted.size(), 2u);
    std::vector<DWORD> here = Keys("ftp:srv");
    here.push_back(13);
    EXPECT_EQ(sim_->posted[0], here);
    EXPECT_EQ(sim_->posted[1].front(), 9u);
    EXPECT_EQ(sim_->posted[1].back(), 13u);
    EXPECT_EQ(sim_->posted[1].size(), 1u + 7 + 1 + 1 + 3 + 1) << "Tab ftp:srv Enter Tab cd: Enter";
}

}  // namespace
