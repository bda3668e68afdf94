// The keys of the panel as the host passes them: Enter and its modifiers (jumps here, on the
// other panel, in the file browser; entering and leaving filters), re-reading, the swallowed
// file keys, F7 left to the host, and deleting with F8.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "scenario_fixture.h"

namespace {

class PanelKeysTest : public ScenarioTest {
  protected:
    // The commands the module sent since `start`, each with the handle it named.
    std::vector<std::pair<HANDLE, int>> CallsSince(size_t start) const {
        std::vector<std::pair<HANDLE, int>> calls;
        for (size_t i = start; i < host_->controls.size(); ++i) {
            calls.emplace_back(host_->controls[i].handle, host_->controls[i].command);
        }
        return calls;
    }
};

TEST_F(PanelKeysTest, EnterOnANameClosesThePanelOntoItsTarget) {
    StoreOption(kTemporaryAsHidden, 1);
    Restart();
    StoreName("work", HostPath("C:\\work\\src"));
    StoreTemporaryName("scratch", HostPath("E:\\scratch"));
    for (const char* name : {"work", "scratch"}) {
        ASSERT_TRUE(OpenPanel());
        HANDLE panel = host_->Active().plugin;
        Point(name);
        size_t start = host_->controls.size();
        EXPECT_EQ(host_->PressKey(KEY_RETURN, 0), 1);
        EXPECT_EQ(ControlCommandsSince(start), Join<int>({{FCTL_GETPANELINFO}, kModulePanelJump}));
        EXPECT_EQ(host_->controls.back().handle, panel);
        EXPECT_EQ(host_->Active().plugin, nullptr) << "the host closed the panel";
    }
    EXPECT_EQ(host_->controls.back().text, HostPath("E:\\scratch"));
    EXPECT_EQ(host_->Active().curDir, HostPath("E:\\scratch"));
}

TEST_F(PanelKeysTest, OtherModifiersAndTheMouseJumpOnThePanelItself) {
    StoreName("work", HostPath("C:\\work"));
    const std::pair<int, unsigned int> presses[] = {{KEY_RETURN, PKF_ALT},
                                                    {KEY_RETURN, PKF_CONTROL | PKF_SHIFT},
                                                    {KEY_RETURN, PKF_ALT | PKF_SHIFT},
                                                    {kDoubleClickKey, 0}};
    for (auto [key, state] : presses) {
        host_->Active().curDir = HostPath("C:\\");
        ASSERT_TRUE(OpenPanel());
        Point("work");
        EXPECT_EQ(host_->PressKey(key, state), 1) << key << "/" << state;
        EXPECT_EQ(host_->controls.back().command, FCTL_CLOSEPLUGIN) << key << "/" << state;
        EXPECT_EQ(host_->Active().curDir, HostPath("C:\\work")) << key << "/" << state;
    }
}

TEST_F(PanelKeysTest, EnterOnDotsAtTheTopIsLeftToTheHost) {
    StoreName("work", HostPath("C:\\work"));
    ASSERT_TRUE(OpenPanel());
    HANDLE panel = host_->Active().plugin;
    size_t start = host_->controls.size();
    EXPECT_EQ(Module().ProcessKey(panel, KEY_RETURN, 0), 0);
    EXPECT_EQ(CallsSince(start),
              (std::vector<std::pair<HANDLE, int>>{{panel, static_cast<int>(FCTL_GETPANELINFO)}}));
    EXPECT_EQ(Listed(), (std::vector<std::string>{"work"}));
}

TEST_F(PanelKeysTest, EnterOnAFilterShowsOnlyMatchingNamesAndDotsLeadBack) {
    StoreFilter("cdrive", HostPath("C:\\*"));
    StoreName("work", HostPath("C:\\work"));
    StoreName("data", HostPath("D:\\data"));
    ASSERT_TRUE(OpenPanel());
    Point("cdrive");
    EXPECT_EQ(host_->PressKey(KEY_RETURN, 0), 1);
    EXPECT_EQ(host_->Active().title, " " + Msg(kMsgPanelName) + ": " + HostPath("C:\\*"));
    EXPECT_EQ(Listed(), (std::vector<std::string>{"work"}));

    host_->Active().currentItem = 0;
    EXPECT_EQ(host_->PressKey(KEY_RETURN, 0), 0) << "the host leaves it as a folder";
    ASSERT_NE(host_->Active().plugin, nullptr) << "through the module, which left the filter";
    EXPECT_EQ(host_->Active().title, " " + Msg(kMsgPanelName));
    std::vector<std::string> everything = InEnumerationOrder({"work", "data"});
    everything.insert(everything.begin(), "cdrive");
    EXPECT_EQ(Listed(), everything);
    EXPECT_EQ(host_->Active().currentItem, 1) << "the cursor is back on the filter left";
}

TEST_F(PanelKeysTest, TheHostsFolderKeysEnterAndLeaveFiltersAsFolders) {
    StoreFilter("cdrive", HostPath("C:\\*"));
    StoreName("work", HostPath("C:\\work"));
    StoreName("data", HostPath("D:\\data"));
    ASSERT_TRUE(OpenPanel());
    Point("cdrive");
    EXPECT_EQ(host_->PressKey(kSimKeyPageDown, PKF_CONTROL), 0);
    EXPECT_EQ(Listed(), (std::vector<std::string>{"work"}));
    EXPECT_EQ(host_->PressKey(kSimKeyPageUp, PKF_CONTROL), 0);
    ASSERT_NE(host_->Active().plugin, nullptr) << "only the filter was left";
    EXPECT_EQ(Listed().size(), 3u);
    EXPECT_EQ(host_->Active().currentItem, 1);
    EXPECT_EQ(host_->PressKey(kSimKeyPageUp, PKF_CONTROL), 0);
    EXPECT_EQ(host_->Active().plugin, nullptr) << "at the top the host leaves the panel";
}

TEST_F(PanelKeysTest, DotsLeadBackAlsoWhenTheHostListsNoItemUnderTheCursor) {
    host_->dotsSelectable = false;
    StoreFilter("cdrive", HostPath("C:\\*"));
    host_->RunCommandLine("cd:cdrive");
    ASSERT_NE(host_->Active().plugin, nullptr);
    EXPECT_EQ(host_->PressKey(KEY_F4, 0), 1) << "no item to edit";
    EXPECT_EQ(host_->PressKey(KEY_F8, 0), 0) << "no item to delete";
    EXPECT_EQ(host_->PressKey(KEY_RETURN, 0), 0);
    EXPECT_EQ(host_->Active().title, " " + Msg(kMsgPanelName));
    host_->Active().currentItem = 0;
    EXPECT_EQ(host_->PressKey(KEY_RETURN, 0), 0);
    EXPECT_TRUE(host_->dialogs.empty());
    EXPECT_TRUE(host_->messages.empty());
}

TEST_F(PanelKeysTest, EnterOnAFilterInsideAnotherReplacesIt) {
    StoreFilter("cdrive", HostPath("C:\\*"));
    StoreFilter("ddrive", HostPath("D:\\*"));
    StoreName("work", HostPath("C:\\work"));
    StoreName("data", HostPath("D:\\data"));
    host_->RunCommandLine("cd:cdrive");
    Point("ddrive");
    EXPECT_EQ(host_->PressKey(KEY_RETURN, 0), 1);
    EXPECT_EQ(host_->Active().title, " " + Msg(kMsgPanelName) + ": " + HostPath("D:\\*"));
    EXPECT_EQ(Listed(), (std::vector<std::string>{"cdrive", "data"}));
}

TEST_F(PanelKeysTest, CtrlEnterSendsTheOtherPanelThereAndKeepsThisOne) {
    StoreName("data", HostPath("D:\\data"));
    ASSERT_TRUE(OpenPanel());
    HANDLE panel = host_->Active().plugin;
    Point("data");
    size_t start = host_->controls.size();
    EXPECT_EQ(host_->PressKey(KEY_RETURN, PKF_CONTROL), 1);
    EXPECT_EQ(CallsSince(start),
              (std::vector<std::pair<HANDLE, int>>{{panel, FCTL_GETPANELINFO},
                                                   {panel, FCTL_SETANOTHERPANELDIR},
                                                   {panel, FCTL_UPDATEANOTHERPANEL},
                                                   {panel, FCTL_REDRAWANOTHERPANEL}}));
    EXPECT_EQ(host_->controls[start + 1].text, HostPath("D:\\data"));
    EXPECT_EQ(host_->Passive().curDir, HostPath("D:\\data"));
    EXPECT_EQ(host_->Active().plugin, panel);
}

TEST_F(PanelKeysTest, PluginCommandTargetsAreTypedIntoTheCommandLine) {
    const std::string command = std::string("ftp:s") + kLetterBeyondAscii + "rv";
    StoreName("remote", command);
    ASSERT_TRUE(OpenPanel());
    Point("remote");
    EXPECT_EQ(host_->PressKey(KEY_RETURN, 0), 1);
    ASSERT_EQ(host_->posted.size(), 1u);
    EXPECT_EQ(host_->posted[0], Join<DWORD>({TypedKeys(command), {13}}));
    EXPECT_EQ(host_->executed, std::vector<std::string>{command});

    Point("remote");
    EXPECT_EQ(host_->PressKey(KEY_RETURN, PKF_CONTROL), 1);
    ASSERT_EQ(host_->posted.size(), 2u);
    EXPECT_EQ(host_->posted[1],
              Join<DWORD>({{9}, TypedKeys(command), {13, 9}, TypedKeys("cd:"), {13}}));
    EXPECT_EQ(host_->executed, (std::vector<std::string>{command, command}));
    EXPECT_NE(host_->Active().plugin, nullptr) << "the prefix reopened the panel on this side";
    for (const ControlCall& call : host_->controls) {
        EXPECT_NE(call.command, FCTL_CLOSEPLUGIN) << "no directory jump";
    }
}

#ifndef _WIN32
// A file browser that writes the argument it was started with into a file.
class FileBrowserTest : public PanelKeysTest {
  protected:
    void SetUp() override {
        PanelKeysTest::SetUp();
        dir_ = persistentDir_ + "/browser";
        std::filesystem::create_directories(dir_);
        std::ofstream script(dir_ + "/browse");
        script << "#!/bin/sh\nprintf '%s' \"$1\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0.out\"\n";
        script.close();
        std::filesystem::permissions(dir_ + "/browse", std::filesystem::perms::owner_all);
        setenv("VELMORA_FILE_BROWSER", (dir_ + "/browse").c_str(), 1);
    }
    void TearDown() override {
        unsetenv("VELMORA_FILE_BROWSER");
        PanelKeysTest::TearDown();
    }
    // The argument the browser was started with, or "<not started>".
    std::string Opened() {
        for (int i = 0; i < 500; ++i) {
            std::ifstream out(dir_ + "/browse.out");
            if (out) {
                return std::string(std::istreambuf_iterator<char>(out), {});
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return "<not started>";
    }
    std::string dir_;
};

TEST_F(FileBrowserTest, ShiftEnterOpensTheTargetInTheFileBrowser) {
    StoreName("docs", HostPath("C:\\My Documents"));
    ASSERT_TRUE(OpenPanel());
    Point("docs");
    size_t start = host_->controls.size();
    EXPECT_EQ(host_->PressKey(KEY_RETURN, PKF_SHIFT), 1);
    EXPECT_EQ(Opened(), HostPath("C:\\My Documents"));
    EXPECT_EQ(ControlCommandsSince(start), std::vector<int>{FCTL_GETPANELINFO}) << "no jump";
    EXPECT_NE(host_->Active().plugin, nullptr);
}

TEST_F(FileBrowserTest, ShiftEnterOnAPluginCommandIsLeftToTheHost) {
    StoreName("remote", "ftp:server");
    ASSERT_TRUE(OpenPanel());
    Point("remote");
    EXPECT_EQ(host_->PressKey(KEY_RETURN, PKF_SHIFT), 0);
    EXPECT_TRUE(host_->posted.empty());
    EXPECT_FALSE(std::filesystem::exists(dir_ + "/browse.out"));
}

TEST_F(FileBrowserTest, ShiftEnterJumpsOnThePanelWhenNoBrowserStarts) {
    setenv("VELMORA_FILE_BROWSER", (dir_ + "/missing").c_str(), 1);
    StoreName("docs", HostPath("C:\\docs"));
    ASSERT_TRUE(OpenPanel());
    Point("docs");
    EXPECT_EQ(host_->PressKey(KEY_RETURN, PKF_SHIFT), 1);
    EXPECT_EQ(host_->Active().curDir, HostPath("C:\\docs"));
}
#endif

TEST_F(PanelKeysTest, KeysOnARowDeletedElsewhereSayItIsGoneAndReadTheListAgain) {
    StoreFilter("docs", HostPath("C:\\docs*"));
    StoreName("work", HostPath("C:\\work"));
    StoreName("kept", HostPath("C:\\kept"));
    ASSERT_TRUE(OpenPanel());
    // Another Far on the same registry deletes each one while this panel still lists it.
    const struct {
        const char* row;
        const char* section;
        int key;
        std::vector<std::string> left;
    } presses[] = {{"work", "\\Keys", KEY_RETURN, {"docs", "kept"}},
                   {"docs", "\\Filters", KEY_RETURN, {"kept"}},
                   {"kept", "\\Keys", KEY_F4, {}}};
    for (const auto& press : presses) {
        Point(press.row);
        DeleteStored(press.section, press.row);
        script_.AnswerMessage(0);
        EXPECT_EQ(host_->PressKey(press.key, 0), 1) << press.row;
        EXPECT_EQ(LastMessage(), (std::vector<std::string>{Msg(kMsgErrorTitle),
                                                           Msg(kMsgNoLongerStored), press.row}));
        EXPECT_EQ(Listed(), press.left) << "the list read again";
    }
    EXPECT_NE(host_->Active().plugin, nullptr) << "no jump";
    EXPECT_TRUE(host_->dialogs.empty());
}

TEST_F(PanelKeysTest, OnlyCtrlRReReadsTheStoreAndEveryOtherRIsLeftToTheHost) {
    StoreName("one", HostPath("C:\\one"));
    ASSERT_TRUE(OpenPanel());
    StoreName("two", HostPath("C:\\two"));
    // Shift+R (4) is a capital letter for the command line, Alt+R (2) the host's quick search.
    for (unsigned int state : {0u, 4u, 2u}) {
        EXPECT_EQ(host_->PressKey(KEY_R, state), 0) << state;
        EXPECT_EQ(Listed(), std::vector<std::string>{"one"}) << state;
    }
    EXPECT_EQ(host_->PressKey(KEY_R, PKF_CONTROL), 1);
    EXPECT_EQ(Listed(), (std::vector<std::string>{"one", "two"}));
}

TEST_F(PanelKeysTest, FileKeysAreSwallowedAndCtrlLeavesThemToTheHostWhichSorts) {
    StoreName("one", HostPath("C:\\one"));
    ASSERT_TRUE(OpenPanel());
    Point("one");
    HANDLE panel = host_->Active().plugin;
    for (int key : {KEY_F3, KEY_F5, KEY_F6}) {
        for (unsigned int state : {0u, 2u, 4u, 7u}) {
            EXPECT_EQ(Module().ProcessKey(panel, key, state), 1) << key << "/" << state;
        }
        EXPECT_EQ(Module().ProcessKey(panel, key, PKF_CONTROL), 0) << key;
    }
    EXPECT_TRUE(host_->dialogs.empty());
    EXPECT_TRUE(host_->messages.empty());
    EXPECT_EQ(StoredNames("\\Keys"), std::vector<std::string>{"one"});
}

TEST_F(PanelKeysTest, F7IsLeftToTheHostWhoseMakeDirectoryAsksForAFilter) {
    ASSERT_TRUE(OpenPanel());
    EXPECT_EQ(Module().ProcessKey(host_->Active().plugin, KEY_F7, 0), 0);
    EXPECT_TRUE(host_->dialogs.empty());
    script_.AnswerDialog(DialogAnswer{});
    host_->PressKey(KEY_F7, 0);
    ASSERT_EQ(host_->dialogs.size(), 1u);
    EXPECT_EQ(host_->dialogs[0].items[0].text, Msg(kMsgFilterTitle));
}

TEST_F(PanelKeysTest, F8OnOneItemAsksWithItsNameAndDeletesIt) {
    StoreName("work", HostPath("C:\\work"));
    StoreName("keep", HostPath("C:\\keep"));
    ASSERT_TRUE(OpenPanel());
    Point("work");
    script_.AnswerMessage(0);
    EXPECT_EQ(host_->PressKey(KEY_F8, 0), 1);
    ASSERT_EQ(host_->messages.size(), 1u);
    EXPECT_EQ(host_->messages[0].flags, static_cast<DWORD>(FMSG_MB_OKCANCEL));
    EXPECT_EQ(host_->messages[0].lines,
              (std::vector<std::string>{Msg(kMsgDeleteTitle), "Delete work?"}));
    EXPECT_EQ(StoredNames("\\Keys"), std::vector<std::string>{"keep"});
    EXPECT_EQ(Listed(), std::vector<std::string>{"keep"});
}

TEST_F(PanelKeysTest, F8OnASelectionAsksOnceAndDeletesEachFromItsOwnSection) {
    StoreFilter("f", "*");
    StoreFilter("p", HostPath("C:\\*"));
    StoreName("f", HostPath("C:\\f"));
    StoreName("p", HostPath("C:\\p"));
    StoreTemporaryName("t", HostPath("C:\\t"));
    ASSERT_TRUE(OpenPanel());
    ASSERT_EQ(Listed(), (std::vector<std::string>{"f", "p", "f", "p", "t"}));
    host_->Active().selection = {1, 4, 5};  // the filter f, the name p, the temporary name t
    script_.AnswerMessage(0);
    EXPECT_EQ(host_->PressKey(KEY_F8, 0), 1);
    ASSERT_EQ(host_->messages.size(), 1u);
    EXPECT_EQ(host_->messages[0].lines[1], "Delete 3 items?");
    EXPECT_EQ(StoredNames("\\Filters"), std::vector<std::string>{"p"});
    EXPECT_EQ(StoredNames("\\Keys"), std::vector<std::string>{"f"});
    EXPECT_TRUE(StoredNames("\\TempKeys").empty());
}

TEST_F(PanelKeysTest, F8CancelledOrModifiedDeletesNothing) {
    StoreName("work", HostPath("C:\\work"));
    ASSERT_TRUE(OpenPanel());
    Point("work");
    script_.AnswerMessage(1);
    EXPECT_EQ(host_->PressKey(KEY_F8, 0), 0);
    EXPECT_EQ(host_->messages.size(), 1u);
    for (unsigned int state : {PKF_CONTROL, PKF_ALT, PKF_SHIFT}) {
        EXPECT_EQ(host_->PressKey(KEY_F8, state), 0) << state;
    }
    EXPECT_EQ(host_->messages.size(), 1u) << "no further question";
    EXPECT_EQ(StoredNames("\\Keys"), std::vector<std::string>{"work"});
}

TEST_F(PanelKeysTest, KeysActOnTheWholeNameUnderTheCursorHoweverLong) {
    // The item shows the long name cut to the field, which is then the short name's text.
    const std::string cut(sizeof(FAR_FIND_DATA::cFileName) - 1, 'a');
    const std::string whole = cut + "-long-tail";
    StoreName(whole.c_str(), HostPath("C:\\long"));
    StoreName(cut.c_str(), HostPath("C:\\cut"));
    auto pointAt = [this](const std::string& target) {
        SimPanel& panel = host_->Active();
        for (size_t i = 0; i < panel.items.size(); ++i) {
            if (panel.items[i].description == target) {
                panel.currentItem = static_cast<int>(i) + 1;
            }
        }
    };
    ASSERT_TRUE(OpenPanel());
    pointAt(HostPath("C:\\long"));
    DialogAnswer moved;
    moved.result = 6;
    moved.texts = {{4, HostPath("C:\\moved")}};
    script_.AnswerDialog(moved);
    EXPECT_EQ(host_->PressKey(KEY_F4, 0), 1);
    EXPECT_EQ(StoredText("\\Keys", whole.c_str()), HostPath("C:\\moved"));
    EXPECT_EQ(StoredText("\\Keys", cut.c_str()), HostPath("C:\\cut"));
    pointAt(HostPath("C:\\moved"));
    EXPECT_EQ(host_->PressKey(KEY_RETURN, 0), 1);
    EXPECT_EQ(host_->Active().curDir, HostPath("C:\\moved"));

    ASSERT_TRUE(OpenPanel());
    pointAt(HostPath("C:\\moved"));
    script_.AnswerMessage(0);
    EXPECT_EQ(host_->PressKey(KEY_F8, 0), 1);
    EXPECT_EQ(host_->messages.back().lines[1], "Delete " + whole + "?");
    EXPECT_EQ(StoredNames("\\Keys"), std::vector<std::string>{cut});

    // A number the list no longer has is not followed: the item's own name counts.
    host_->Active().items[0].userData = 99;
    script_.AnswerMessage(0);
    EXPECT_EQ(host_->PressKey(KEY_F8, 0), 1);
    EXPECT_TRUE(StoredNames("\\Keys").empty());
}

TEST_F(PanelKeysTest, KeysActOnTheEntryUnderTheCursorWhenTemporaryAndPermanentShareAName) {
    StoreName("dup", HostPath("C:\\perm"));
    StoreTemporaryName("dup", HostPath("E:\\temp"));
    auto pointAt = [this](const std::string& target) {
        OpenPanel();
        SimPanel& panel = host_->Active();
        for (size_t i = 0; i < panel.items.size(); ++i) {
            if (panel.items[i].description == target) {
                panel.currentItem = static_cast<int>(i) + 1;
            }
        }
    };
    pointAt(HostPath("C:\\perm"));
    EXPECT_EQ(host_->PressKey(KEY_RETURN, 0), 1);
    EXPECT_EQ(host_->Active().curDir, HostPath("C:\\perm"));

    pointAt(HostPath("C:\\perm"));
    script_.AnswerDialog(DialogAnswer{6, {}, {}});
    EXPECT_EQ(host_->PressKey(KEY_F4, 0), 1);
    EXPECT_EQ(host_->dialogs.back().items[4].text, HostPath("C:\\perm"));
    EXPECT_EQ(StoredText("\\Keys", "dup"), HostPath("C:\\perm"));

    pointAt(HostPath("E:\\temp"));
    script_.AnswerMessage(0);
    EXPECT_EQ(host_->PressKey(KEY_F8, 0), 1);
    EXPECT_EQ(StoredText("\\Keys", "dup"), HostPath("C:\\perm"));
    EXPECT_TRUE(StoredNames("\\TempKeys").empty());
}

TEST_F(PanelKeysTest, AChangeShowsOnTheModulesPanelBesideAndOnlyThere) {
    StoreName("work", HostPath("C:\\work"));
    host_->SwitchPanels();
    ASSERT_TRUE(OpenPanel());
    host_->SwitchPanels();
    host_->RunCommandLine("cd::fresh");
    EXPECT_EQ(host_->Passive().items.size(), 2u) << "beside the command line";

    ASSERT_TRUE(OpenPanel());
    Point("work");
    script_.AnswerMessage(0);
    host_->PressKey(KEY_F8, 0);
    EXPECT_EQ(host_->Passive().items.size(), 1u) << "beside the panel that changed the store";

    host_->ClosePanel(host_->Passive());
    size_t start = host_->controls.size();
    host_->RunCommandLine("cd:-fresh");
    for (int command : ControlCommandsSince(start)) {
        EXPECT_NE(command, FCTL_UPDATEANOTHERPANEL) << "a file panel is not the module's";
    }
}

TEST_F(PanelKeysTest, SetDirectoryJumpsOnlyToStoredNamesAndNeverForASearch) {
    StoreName("work", HostPath("C:\\work"));
    StoreName("home", HostPath("C:\\home"));
    StoreFilter("work", HostPath("C:\\*"));
    ASSERT_TRUE(OpenPanel());
    HANDLE panel = host_->Active().plugin;
    size_t start = host_->controls.size();
    const int searches[] = {OPM_FIND, OPM_SILENT, OPM_FIND | OPM_SILENT};
    for (int searching : searches) {
        EXPECT_EQ(Module().SetDirectory(panel, "work", searching), 0) << searching;
        EXPECT_EQ(Module().SetDirectory(panel, "home", searching), 0) << searching;
    }
    EXPECT_EQ(host_->controls.size(), start);
    EXPECT_EQ(Module().SetDirectory(panel, "elsewhere", 0), 0);
    EXPECT_EQ(host_->controls.size(), start);
    // The panel's folders are its filters: a filter goes before the name it shares.
    EXPECT_EQ(Module().SetDirectory(panel, "work", 0), 1);
    EXPECT_EQ(host_->controls.size(), start);
    OpenPluginInfo look{};
    Module().GetOpenPluginInfo(panel, &look);
    EXPECT_STREQ(look.CurDir, "work");
    EXPECT_EQ(Module().SetDirectory(panel, "home", 0), 1);
    EXPECT_EQ(ControlCommandsSince(start), kModulePanelJump);
    EXPECT_EQ(host_->controls.back().handle, panel);
    EXPECT_EQ(host_->controls.back().text, HostPath("C:\\home"));
}

}  // namespace
