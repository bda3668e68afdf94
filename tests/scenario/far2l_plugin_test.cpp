// The far2l plugin driven through the stand-in host built with far2l's layout: what its export
// layer adds to the module (paths with '/', moving a file panel, posted UTF-8 text, the store's
// faults).
#include <filesystem>
#include <fstream>

#include "scenario_fixture.h"

namespace {

class Far2lPluginTest : public ScenarioTest {};

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

TEST_F(Far2lPluginTest, RestIsJoinedWithASlashAndABackslashInTheStoredDirectoryStays) {
    const std::string stored = persistentDir_ + "/a\\b";
    for (const std::string& dir : {stored + "/sub", persistentDir_ + "/a/b/sub"}) {
        std::filesystem::create_directories(dir);
    }
    StoreName("bs", stored);
    host_->RunCommandLine("cd:bs/sub");
    EXPECT_EQ(host_->Active().curDir, stored + "/sub");
}

TEST_F(Far2lPluginTest, ADirectoryFar2lCannotShowIsLeftToItsOwnBox) {
    StoreOption(kShowErrors, 1);
    Restart();
    host_->missingDirs = {"/gone"};
    StoreName("gone", "/gone");
    host_->RunCommandLine("cd:gone");
    EXPECT_TRUE(host_->messages.empty());
}

TEST_F(Far2lPluginTest, ATargetTheShellWouldRunIsNeverTypedIntoTheCommandLine) {
    const std::string command = "touch /tmp/X; echo hi #:x";
    StoreName("docs", command);
    StoreName("lines", "ls\rx:y");
    // History, patterns and a home folder, an assignment; and Tabs and Enters that would type a
    // plain word on the other panel as a command of its own.
    StoreName("history", "ftp:x!!");
    StoreName("patterns", "~usr:[a]*");
    StoreName("assignment", "PATH=/tmp/x:y");
    StoreName("panels", "\treboot\r\tx:y");
    for (const char* name : {"docs", "lines", "history", "patterns", "assignment", "panels"}) {
        script_.AnswerMessage(0);
        host_->RunCommandLine(std::string("cd:") + name);
    }
    EXPECT_TRUE(host_->posted.empty());
    EXPECT_TRUE(host_->executed.empty());
    ASSERT_EQ(host_->messages.size(), 6u);
    EXPECT_EQ(host_->messages[0].lines,
              (std::vector<std::string>{Msg(kMsgErrorTitle), Msg(kMsgNotRunAsCommand), command}));
    EXPECT_EQ(host_->messages[1].lines[2], "ls\\x0dx:y") << "the target as stored, shown";
    EXPECT_EQ(host_->messages[5].lines[2], "\\x09reboot\\x0d\\x09x:y");
}

TEST_F(Far2lPluginTest, PluginCommandInUtf8GoesIntoTheCommandLineAndOnlyItsKeysArePosted) {
    // far2l drops posted bytes from 0x80 up, so UTF-8 text cannot be typed byte by byte.
    const std::string command = "ftp:\xD1\x81\xD0\xB5\xD1\x80\xD0\xB2";
    StoreName("remote", command);
    ASSERT_TRUE(OpenPanel());
    Point("remote");
    EXPECT_EQ(host_->PressKey(KEY_RETURN, PKF_CONTROL), 1);
    ASSERT_EQ(host_->posted.size(), 1u);
    EXPECT_EQ(host_->posted[0], (std::vector<DWORD>{9, 13, 9, 'c', 'd', ':', 13}));
    EXPECT_EQ(host_->executed, std::vector<std::string>{command});
}

TEST_F(Far2lPluginTest, AnAddOverANameSpelledOtherwiseStoresTheSpellingTyped) {
    StoreName("Case", "/old");
    host_->Active().curDir = persistentDir_;
    host_->RunCommandLine("cd::case");
    ASSERT_TRUE(OpenPanel());
    EXPECT_EQ(Listed(), std::vector<std::string>{"case"});
    EXPECT_EQ(StoredText("\\Keys", "case"), persistentDir_);
}

// The text a box shows after its title, its lines joined again.
std::string BoxText(const MessageCall& box) {
    std::string text;
    for (size_t i = 1; i < box.lines.size(); ++i) {
        text += box.lines[i];
    }
    return text;
}

TEST_F(Far2lPluginTest, EveryCommandTheStoreStoppedSaysSoWholeAndAWarningComesOncePerSession) {
    // A file where the temporary store's folder should be, deep enough that the line naming it
    // is wider than the screen.
    const std::string deep =
        persistentDir_ + "/" + std::string(70, 'd') + "/" + std::string(70, 'e');
    std::filesystem::create_directories(deep);
    std::ofstream(deep + "/blocker") << "no folder";
    setenv("VELMORA_VOLATILE_DIR", (deep + "/blocker/registry").c_str(), 1);
    StoreName("perm", persistentDir_);
    host_->screenWidth = 80;
    Restart();
    for (int i = 0; i < 4; ++i) {
        script_.AnswerMessage(0);
    }
    // Jumps that are done: the temporary names they could not look at are a warning, once.
    host_->RunCommandLine("cd:perm");
    host_->RunCommandLine("cd:perm");
    ASSERT_EQ(host_->messages.size(), 1u);
    // Adds that store nothing say so each time.
    host_->RunCommandLine("cd:+tt4");
    host_->RunCommandLine("cd:+tt4");
    ASSERT_EQ(host_->messages.size(), 3u);
    for (const MessageCall& box : host_->messages) {
        EXPECT_EQ(box.lines[0], Msg(kMsgErrorTitle));
        const std::string text = BoxText(box);
        EXPECT_EQ(text.find("cannot open your temporary names in " + deep + "/blocker/registry"),
                  0u)
            << text;
        EXPECT_GT(box.lines.size(), 3u);
        for (const std::string& line : box.lines) {
            EXPECT_LE(line.size(), 80u - 14u);
        }
    }
    // A new session warns again; with error messages on, the store's account of a failed add
    // stands for the module's own word.
    StoreOption(kShowErrors, 1);
    Restart();
    script_.AnswerMessage(0);
    script_.AnswerMessage(0);
    host_->RunCommandLine("cd:perm");
    host_->RunCommandLine("cd:+tt4");
    ASSERT_EQ(host_->messages.size(), 5u);
    EXPECT_EQ(BoxText(host_->messages[4]).find("cannot open your temporary names in " + deep), 0u);
}

}  // namespace
