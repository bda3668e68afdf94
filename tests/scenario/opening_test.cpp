// Opening the module: from the host's menus, from the command line (commands, and a text that
// is no command falling back to a filter of that name), and the configuration entry.
#include "scenario_fixture.h"

namespace {

// The longest path the host takes whole, its panel field less the terminating zero.
constexpr size_t kLongestPath = sizeof(PanelInfo::CurDir) - 1;

class OpeningTest : public ScenarioTest {
  protected:
    void StoreOneOfEach() {
        StoreFilter("docs", HostPath("C:\\docs*"));
        StoreName("work", HostPath("C:\\work"));
        StoreTemporaryName("tmp", HostPath("C:\\tmp"));
    }
    std::vector<std::string> StoreContents() {
        std::vector<std::string> all;
        for (const char* section : {"\\Filters", "\\Keys", "\\TempKeys"}) {
            for (const std::string& name : StoredNames(section)) {
                all.push_back(std::string(section) + "\\" + name + "=" +
                              StoredText(section, name.c_str()));
            }
        }
        return all;
    }
};

TEST_F(OpeningTest, BothMenusAndTheBarePrefixOpenThePanelWithEveryEntry) {
    StoreOneOfEach();
    const std::vector<std::string> everything = {"docs", "work", "tmp"};
    for (int openFrom : {OPEN_DISKMENU, OPEN_PLUGINSMENU}) {
        host_->OpenFromMenu(openFrom);
        ASSERT_NE(host_->Active().plugin, nullptr) << "open from " << openFrom;
        EXPECT_EQ(Listed(), everything);
        EXPECT_EQ(host_->Active().title, " " + Msg(kMsgPanelName));
        host_->ClosePanel(host_->Active());
    }
    host_->RunCommandLine("cd:");
    ASSERT_NE(host_->Active().plugin, nullptr);
    EXPECT_EQ(Listed(), everything);
}

TEST_F(OpeningTest, MenuEntriesFollowTheOptionsWhileConfigurationIsAlwaysOffered) {
    EXPECT_EQ(host_->Info().DiskMenuStringsNumber, 1);
    EXPECT_EQ(host_->Info().PluginMenuStringsNumber, 1);
    EXPECT_STREQ(host_->Info().DiskMenuStrings[0], Msg(0).c_str());
    EXPECT_STREQ(host_->Info().PluginMenuStrings[0], Msg(16).c_str());
    EXPECT_STREQ(host_->Info().PluginConfigStrings[0], Msg(17).c_str());

    StoreOption("ShowInDiskMenu", 0);
    StoreOption("ShowInPluginsMenu", 0);
    WriteStored("", "Prefix", REG_SZ, std::string(1, '\0'));
    Restart();
    EXPECT_EQ(host_->Info().DiskMenuStringsNumber, 0);
    EXPECT_EQ(host_->Info().PluginMenuStringsNumber, 0);
    EXPECT_EQ(host_->Info().PluginConfigStringsNumber, 1);
    // Read first: far2l's record packs the pointer where no reference to it may bind.
    const char* prefix = host_->Info().CommandPrefix;
    ASSERT_NE(prefix, nullptr);
    EXPECT_STREQ(prefix, "");
    EXPECT_EQ(Module().GetMinFarVersion(), kAcceptedMinFarVersion);
    Module().ClosePlugin(nullptr);
}

TEST_F(OpeningTest, OtherPlacesToOpenFromOpenNothingAndTouchNothing) {
    StoreOneOfEach();
    StoreOption(kShowErrors, 1);
    Restart();
    const std::vector<std::string> before = StoreContents();
    for (int openFrom : {2, 3, 5, 6, -1, -100}) {
        EXPECT_EQ(Module().OpenPlugin(openFrom, 0), INVALID_HANDLE_VALUE) << openFrom;
    }
    EXPECT_TRUE(host_->controls.empty());
    EXPECT_TRUE(host_->messages.empty());
    EXPECT_TRUE(host_->dialogs.empty());
    EXPECT_TRUE(host_->menus.empty());
    EXPECT_EQ(StoreContents(), before);
}

TEST_F(OpeningTest, CarriedOutCommandsOpenNoPanel) {
    host_->RunCommandLine("cd:+tmp");
    host_->RunCommandLine("cd::perm");
    EXPECT_EQ(StoredText("\\TempKeys", "tmp"), HostPath("C:\\work"));
    EXPECT_EQ(StoredText("\\Keys", "perm"), HostPath("C:\\work"));

    size_t start = host_->controls.size();
    host_->RunCommandLine("cd:perm/sub");
    EXPECT_EQ(host_->Active().curDir, HostPath("C:\\work\\sub"));
    EXPECT_EQ(ControlCommandsSince(start), kFilePanelJump);
    EXPECT_EQ(host_->controls.back().handle, INVALID_HANDLE_VALUE);

    host_->RunCommandLine("cd:-tmp");
    EXPECT_EQ(StoredText("\\TempKeys", "tmp"), "<missing>");
    EXPECT_EQ(host_->Active().plugin, nullptr);
    EXPECT_TRUE(host_->messages.empty());
}

TEST_F(OpeningTest, MissedNameThatNamesAFilterOpensThePanelInsideIt) {
    StoreOption(kShowErrors, 1);
    Restart();
    StoreFilter("proj", HostPath("C:\\proj*"));
    StoreFilter("all", "*");
    StoreName("src", HostPath("C:\\proj\\src"));
    StoreName("home", HostPath("D:\\home"));
    host_->RunCommandLine("cd:proj");
    ASSERT_NE(host_->Active().plugin, nullptr);
    EXPECT_EQ(host_->Active().title, " " + Msg(kMsgPanelName) + ": " + HostPath("C:\\proj*"));
    EXPECT_EQ(Listed(), (std::vector<std::string>{"all", "src"}));
    EXPECT_TRUE(host_->messages.empty()) << "the miss is not reported";
}

TEST_F(OpeningTest, MissedNameAfterAnUnusedCompletionMenuStillOpensTheFilter) {
    StoreOption(kAutoComplete, 1);
    Restart();
    StoreFilter("pro", HostPath("C:\\proj*"));
    StoreName("proj", HostPath("C:\\proj"));
    StoreName("prog", HostPath("C:\\prog"));
    script_.AnswerMenu(-1);
    host_->RunCommandLine("cd:pro");
    ASSERT_EQ(host_->menus.size(), 1u);
    EXPECT_EQ(host_->menus[0].items, InEnumerationOrder({"proj", "prog"}));
    ASSERT_NE(host_->Active().plugin, nullptr);
    EXPECT_EQ(Listed(), (std::vector<std::string>{"proj"}));
}

TEST_F(OpeningTest, FailedAddThatNamesAFilterOpensItAndStoresNothing) {
    StoreOption(kShowErrors, 1);
    Restart();
    StoreFilter("+", HostPath("D:*"));
    StoreName("disk", HostPath("D:\\"));
    StoreName("work", HostPath("C:\\work"));
    host_->RunCommandLine("cd:+");
    ASSERT_NE(host_->Active().plugin, nullptr);
    EXPECT_EQ(Listed(), (std::vector<std::string>{"disk"}));
    EXPECT_TRUE(StoredNames("\\TempKeys").empty());
    EXPECT_TRUE(host_->messages.empty());
}

TEST_F(OpeningTest, AddWithoutTheActivePanelsDirectoryFallsBackToAFilterOfThatName) {
    StoreFilter("+later", "*");
    host_->Active().refuseInfo = true;
    host_->RunCommandLine("cd:+later");
    ASSERT_NE(host_->Active().plugin, nullptr);
    EXPECT_EQ(host_->Active().title, " " + Msg(kMsgPanelName) + ": *");
    EXPECT_TRUE(StoredNames("\\TempKeys").empty()) << "no directory, nothing stored";
}

TEST_F(OpeningTest, AddOnAPanelWithoutADirectoryStoresNothingAndSaysSo) {
    script_.AnswerMessage(0);
    script_.AnswerMessage(0);
    host_->Active().curDir = "";
    host_->RunCommandLine("cd::nowhere");
    ASSERT_TRUE(OpenPanel());
    host_->RunCommandLine("cd:+nowhere");
    EXPECT_EQ(StoreContents(), std::vector<std::string>{});
    ASSERT_EQ(host_->messages.size(), 2u);
    for (const MessageCall& message : host_->messages) {
        EXPECT_EQ(message.lines,
                  (std::vector<std::string>{Msg(kMsgErrorTitle), Msg(kMsgPanelWithoutDirectory)}));
    }
}

TEST_F(OpeningTest, FilterLookupTakesTheWholeTextWithItsSeparators) {
    StoreFilter("f", HostPath("C:*"));
    StoreFilter("f/x", HostPath("D:*"));
    host_->RunCommandLine("cd:f/x");
    ASSERT_NE(host_->Active().plugin, nullptr);
    EXPECT_EQ(host_->Active().title, " " + Msg(kMsgPanelName) + ": " + HostPath("D:*"));
}

TEST_F(OpeningTest, MissWithoutAFilterIsReportedOnlyWhileShowErrorsIsOn) {
    host_->RunCommandLine("cd:nowhere");
    EXPECT_TRUE(host_->messages.empty());

    StoreOption(kShowErrors, 1);
    Restart();
    script_.AnswerMessage(0);
    host_->RunCommandLine("cd:zz/sub");
    EXPECT_EQ(host_->Active().plugin, nullptr);
    ASSERT_EQ(host_->messages.size(), 1u);
    EXPECT_EQ(host_->messages[0].lines,
              (std::vector<std::string>{Msg(kMsgErrorTitle), Msg(kMsgNameNotFound) + "'zz/sub'"}));
}

TEST_F(OpeningTest, ConfiguredPrefixReachesTheHostWhileTheOldTextStaysReadable) {
    StoreName("work", HostPath("C:\\work"));
    const char* handed = host_->Info().CommandPrefix;
    ASSERT_STREQ(handed, "cd:");
    DialogAnswer newPrefix;
    newPrefix.result = 8;
    newPrefix.texts[7] = "go:";
    script_.AnswerDialog(newPrefix);
    EXPECT_EQ(Module().Configure(0), 1);
    EXPECT_STREQ(handed, "cd:") << "the host may read the old prefix until it asks again";
    EXPECT_EQ(StoredText("", "Prefix"), "go:");

    script_.AnswerDialog(DialogAnswer{});  // the host asks again; the dialog is cancelled
    EXPECT_EQ(host_->Configure(), 0);
    EXPECT_EQ(host_->Prefix(), "go:");
    host_->RunCommandLine("go:work/src");
    EXPECT_EQ(host_->Active().curDir, HostPath("C:\\work\\src"));
}

TEST_F(OpeningTest, StartingTheModuleAgainKeepsTheHandedPrefixReadable) {
    WriteStored("", "Prefix", REG_SZ, std::string("first:\0", 7));
    Restart();
    const char* handed = host_->Info().CommandPrefix;
    ASSERT_STREQ(handed, "first:");
    WriteStored("", "Prefix", REG_SZ, std::string("second-and-longer:\0", 19));
    Module().SetStartupInfo(host_->StartupInfo());
    EXPECT_STREQ(handed, "first:") << "the host may read it until it asks again";
    Restart();
    EXPECT_EQ(host_->Prefix(), "second-and-longer:");
}

TEST_F(OpeningTest, JumpsThatWouldLandElsewhereAreRefusedWithABoxWhateverShowErrorsSays) {
    if (kFar2lHost) {
        GTEST_SKIP() << "far2l takes a path whole, with its '?', '*' and every letter";
    }
    // The host takes a '?' or '*' for a pattern and enters the first folder that matches, and
    // cannot take a letter its code page lacks (read from the store as <U+XXXX>): it would show
    // another folder.
    StoreName("wild", "C:\\u\\??????");
    StoreName("star", "C:\\u\\*");
    StoreName("cjk", "C:\\u\\<U+4E2D>");
    const struct {
        const char* typed;
        const char* refused;
        int message;
    } refusals[] = {{"wild", "C:\\u\\??????", kMsgWildcardDirectory},
                    {"star", "C:\\u\\*", kMsgWildcardDirectory},
                    {"cjk", "C:\\u\\<U+4E2D>", kMsgDirectoryNotWhole}};
    for (const auto& refusal : refusals) {
        script_.AnswerMessage(0);
        host_->RunCommandLine(std::string("cd:") + refusal.typed);
        EXPECT_EQ(LastMessage(), (std::vector<std::string>{Msg(kMsgErrorTitle),
                                                           Msg(refusal.message), refusal.refused}));
    }
    EXPECT_EQ(host_->messages.size(), 3u);
    EXPECT_EQ(host_->Active().curDir, "C:\\work");

    // A "\\?\" path is a directory, its '?' no pattern and its colon no plugin command's.
    StoreName("unc", "\\\\?\\C:\\work");
    host_->RunCommandLine("cd:unc");
    EXPECT_EQ(host_->Active().curDir, "\\\\?\\C:\\work");
    EXPECT_TRUE(host_->posted.empty());
}

TEST_F(OpeningTest, JumpsLongerThanTheHostTakesWholeAreRefusedWithABox) {
    // The host cuts a path longer than its field, and would show another folder.
    const std::string deep = "C:\\" + std::string(kLongestPath - 7, 'd');
    StoreName("deep", HostPath(deep));
    script_.AnswerMessage(0);
    host_->RunCommandLine("cd:deep/abcd");
    EXPECT_EQ(LastMessage(), (std::vector<std::string>{Msg(kMsgErrorTitle), Msg(kMsgJumpTooLong),
                                                       HostPath(deep + "\\abcd")}));
    EXPECT_EQ(host_->Active().curDir, HostPath("C:\\work"));
    host_->RunCommandLine("cd:deep/abc");
    EXPECT_EQ(host_->Active().curDir, HostPath(deep + "\\abc")) << "a path the host takes whole";
}

TEST_F(OpeningTest, ATargetThatBeginsWithThePrefixIsNeverTypedNorStored) {
    WriteStored("", "Prefix", REG_SZ, std::string("vvv:\0", 5));
    Restart();
    // Typed into the command line, each would run the module again, and again without end.
    StoreName("loop", "vvv:loop");
    StoreName("aa", "VVV:bb");
    StoreName("bb", "vvv:aa");
    for (const char* name : {"loop", "aa"}) {
        script_.AnswerMessage(0);
        host_->RunCommandLine(std::string("vvv:") + name);
    }
    EXPECT_FALSE(host_->endlessKeys);
    EXPECT_TRUE(host_->posted.empty());
    ASSERT_EQ(host_->messages.size(), 2u);
    EXPECT_EQ(host_->messages[1].lines,
              (std::vector<std::string>{Msg(kMsgErrorTitle), Msg(kMsgTargetRunsPrefix), "VVV:bb"}));
    script_.AnswerMessage(0);
    host_->RunCommandLine("vvv::vvv:x:again");  // "again" = "vvv:x" and the directory
    EXPECT_EQ(LastMessage(),
              (std::vector<std::string>{Msg(kMsgErrorTitle), Msg(kMsgTargetRunsPrefix)}));
    EXPECT_EQ(StoredText("\\Keys", "again"), "<missing>");
}

TEST_F(OpeningTest, ACommandTheShellWouldRunIsNeverTypedIntoTheCommandLine) {
    if (kFar2lHost) {
        GTEST_SKIP() << "these are cmd's characters: Far2lPluginTest holds those of far2l's shell";
    }
    const std::string command = "xyz:abc & echo hi>Z:\\tmp\\pw.txt";
    StoreName("pw", command);
    StoreName("percent", "ftp:%PATH%");
    StoreName("tab", "ftp:a\tb");
    // Letters of the OEM page are no controls, and a backslash means nothing to cmd.
    StoreName("oem", "ftp:\x8F\x90\x9F\\x");
    for (const char* name : {"pw", "percent", "tab"}) {
        script_.AnswerMessage(0);
        host_->RunCommandLine(std::string("cd:") + name);
    }
    EXPECT_TRUE(host_->posted.empty());
    ASSERT_EQ(host_->messages.size(), 3u);
    EXPECT_EQ(host_->messages[0].lines,
              (std::vector<std::string>{Msg(kMsgErrorTitle), Msg(kMsgNotRunAsCommand), command}));
    EXPECT_EQ(host_->messages[2].lines[2], "ftp:a\\x09b");
    host_->RunCommandLine("cd:oem");
    EXPECT_EQ(host_->executed, std::vector<std::string>{"ftp:\x8F\x90\x9F\\x"});
}

TEST_F(OpeningTest, CancellingTheMenuOfNamesIsNoMiss) {
    StoreOption(kShowErrors, 1);
    StoreOption(kAutoComplete, 1);
    Restart();
    StoreName("proj", HostPath("C:\\proj"));
    StoreName("prog", HostPath("C:\\prog"));
    script_.AnswerMenu(-1);
    host_->RunCommandLine("cd:pro");
    EXPECT_EQ(host_->menus.size(), 1u);
    EXPECT_TRUE(host_->messages.empty());
    EXPECT_EQ(host_->Active().plugin, nullptr);
}

}  // namespace
