// Failures inside the module as the host meets them: every heap request of a road refused in
// turn, and registry keys that cannot be opened. Each export gives its failure value, shows
// the unexpected-error box only while ShowErrors is on, and leaves no block or key behind.
#include <functional>
#include <optional>

#include "scenario_fixture.h"

namespace {

class FailureTest : public ScenarioTest {
  protected:
    void SetUp() override {
        ScenarioTest::SetUp();
        StoreFilter("docs", HostPath("C:\\docs*"));
        StoreName("work", HostPath("C:\\work"));
        StoreName("remote", "ftp:server");
        StoreTemporaryName("scratch", HostPath("C:\\docs\\scratch"));
    }

    struct Road {
        const char* what;
        std::function<void()> arrange;  // brings the host to the road; nothing refused yet
        std::function<int()> act;       // the host's call, the failure armed
        int failureValue;
        std::function<bool()> done;  // what the road achieves when nothing is refused
    };

    // Runs the road once for each heap request it makes, the nth refused in round n, until a
    // round makes no refused request; that round must achieve what the road is for.
    void RunWithEachRequestRefused(const Road& road, bool showErrors) {
        StoreOption(kShowErrors, showErrors ? 1 : 0);
        Restart();
        bool finished = false;
        for (unsigned n = 1; n < 2000 && !finished && !HasFatalFailure(); ++n) {
            SCOPED_TRACE(std::string(road.what) + ", request " + std::to_string(n) + " refused");
            script_ = ScriptFrontEnd();
            road.arrange();
            size_t reports = ErrorReports();
            unsigned before = HeapRequests();
            FailHeapRequest(n);
            int result = road.act();
            FailHeapRequest(0);
            finished = HeapRequests() - before < n;
            if (finished) {
                EXPECT_TRUE(road.done()) << "nothing refused, yet the road did not get there";
            }
            size_t shown = ErrorReports() - reports;
            EXPECT_LE(shown, 1u);
            if (!showErrors) {
                EXPECT_EQ(shown, 0u);
            }
            // The barrier reports what escaped as unexpected and gives the failure value; a key
            // that was handled may instead report the save it could not make.
            if (shown != 0 && result == road.failureValue) {
                EXPECT_EQ(host_->messages.back().lines[1], Msg(kMsgUnexpected));
            } else if (shown != 0) {
                EXPECT_EQ(host_->messages.back().lines[1], Msg(kMsgNoMemory));
            }
            EXPECT_FALSE(host_->Prefix().empty()) << "the module lost its prefix";
            host_->ClosePanel(host_->Active());
            host_->ClosePanel(host_->Passive());
            ASSERT_EQ(LiveHeapBlocks(), blocksAtStart_) << "heap blocks leaked";
            ASSERT_EQ(OpenKeys(), 0u) << "a registry key was left open";
        }
        EXPECT_TRUE(finished) << road.what << " never got through";
    }

    // Whether an error box says that the store refused a write: with the module's own words on
    // the Windows hosts; far2l's layer shows the store's account in their place, which names
    // the store's file.
    bool SaysWriteRefused(const MessageCall& box) const {
        if (kFar2lHost) {
            return box.lines.size() == 2 && box.lines[1].find(persistentDir_) != std::string::npos;
        }
        return box.lines == std::vector<std::string>{Msg(kMsgErrorTitle), Msg(kMsgRegistryError)};
    }

    size_t ErrorReports() const {
        size_t count = 0;
        for (const MessageCall& call : host_->messages) {
            count += !call.lines.empty() && call.lines[0] == Msg(kMsgErrorTitle);
        }
        return count;
    }

    // Arrangements that open the panel with the cursor on an item, and the host's key press.
    std::function<void()> OnItem(const char* name, std::optional<DialogAnswer> answer = {},
                                 std::optional<int> button = {}) {
        return [this, name, answer, button] {
            StoreName("work", HostPath("C:\\work"));
            host_->executed.clear();
            host_->Active().curDir = HostPath("C:\\");
            host_->Passive().curDir = HostPath("D:\\other");
            ASSERT_TRUE(OpenPanel());
            Point(name);
            if (answer) {
                script_.AnswerDialog(*answer);
            }
            if (button) {
                script_.AnswerMessage(*button);
            }
        };
    }
    std::function<int()> Press(int key, unsigned int state) {
        return [this, key, state] { return host_->PressKey(key, state); };
    }
};

DialogAnswer Confirm(int button, std::map<int, std::string> texts) {
    DialogAnswer answer;
    answer.result = button;
    answer.texts = std::move(texts);
    return answer;
}

TEST_F(FailureTest, OpeningFromTheMenuGivesAWholePanelOrNone) {
    REQUIRE_HOOKS();
    const std::vector<std::string> all = {"docs", "work", "remote", "scratch"};
    for (bool showErrors : {true, false}) {
        RunWithEachRequestRefused({"menu", [] {},
                                   [this] {
                                       host_->OpenFromMenu(OPEN_DISKMENU);
                                       return host_->Active().plugin != nullptr ? 1 : 0;
                                   },
                                   0, [&] { return Listed() == all; }},
                                  showErrors);
    }
}

TEST_F(FailureTest, OpeningAFilterFromTheCommandLineGivesTheFilteredPanelOrNone) {
    REQUIRE_HOOKS();
    RunWithEachRequestRefused({"command line", [] {},
                               [this] {
                                   host_->RunCommandLine("cd:docs");
                                   return host_->Active().plugin != nullptr ? 1 : 0;
                               },
                               0,
                               [this] {
                                   return Listed() == std::vector<std::string>{"scratch"} &&
                                          host_->Active().title.find(HostPath("C:\\docs*")) !=
                                              std::string::npos;
                               }},
                              true);
}

TEST_F(FailureTest, PanelKeysGiveZeroOrDoTheirWork) {
    REQUIRE_HOOKS();
    const Road roads[] = {
        {"Enter on a filter", OnItem("docs"), Press(KEY_RETURN, 0), 0,
         [this] { return Listed() == std::vector<std::string>{"scratch"}; }},
        {"Enter on a name", OnItem("work"), Press(KEY_RETURN, 0), 0,
         [this] { return host_->Active().curDir == HostPath("C:\\work"); }},
        {"Enter on a plugin command", OnItem("remote"), Press(KEY_RETURN, 0), 0,
         [this] { return host_->executed == std::vector<std::string>{"ftp:server"}; }},
        {"Ctrl+Enter", OnItem("work"), Press(KEY_RETURN, PKF_CONTROL), 0,
         [this] { return host_->Passive().curDir == HostPath("C:\\work"); }},
        {"Ctrl+R", OnItem("work"), Press(KEY_R, PKF_CONTROL), 0,
         [this] { return Listed().size() == 4; }},
        {"F4 on a name", OnItem("work", Confirm(6, {{4, HostPath("C:\\moved")}})), Press(KEY_F4, 0),
         0, [] { return StoredText("\\Keys", "work") == HostPath("C:\\moved"); }},
        {"Shift+F4", OnItem("work", Confirm(6, {{2, "added"}})), Press(KEY_F4, PKF_SHIFT), 0,
         [] { return StoredText("\\Keys", "added") == HostPath("D:\\other"); }},
        {"F4 on a filter", OnItem("docs", Confirm(5, {{4, HostPath("E:\\*")}})), Press(KEY_F4, 0),
         0, [] { return StoredText("\\Filters", "docs") == HostPath("E:\\*"); }},
        {"F8", OnItem("work", std::nullopt, 0), Press(KEY_F8, 0), 0,
         [] { return StoredText("\\Keys", "work") == "<missing>"; }},
        {"F7", OnItem("work", Confirm(5, {{2, "new"}, {4, "*"}})),
         [this] { return host_->MakeDirectory(); }, 0,
         [] { return StoredText("\\Filters", "new") == "*"; }},
    };
    for (const Road& road : roads) {
        for (bool showErrors : {true, false}) {
            StoreFilter("docs", HostPath("C:\\docs*"));
            RunWithEachRequestRefused(road, showErrors);
        }
    }
}

TEST_F(FailureTest, ConfigurationGivesZeroOrStoresTheNewPrefix) {
    REQUIRE_HOOKS();
    RunWithEachRequestRefused(
        {"Configure",
         [this] {
             Restart();
             script_.AnswerMessage(0);
             DialogAnswer answer;
             answer.result = 8;
             answer.texts = {{7, "go:"}};
             script_.AnswerDialog(answer);
         },
         [this] { return host_->Configure(); }, 0,
         [this] { return host_->Prefix() == "go:" && StoredText("", "Prefix") == "go:"; }},
        true);
}

TEST_F(FailureTest, FilterEnteredWithoutMemoryLeavesThePanelWhollyInsideOrOutside) {
    REQUIRE_HOOKS();
    const std::string top = " " + Msg(kMsgPanelName);
    bool finished = false;
    for (unsigned n = 1; n < 100 && !finished; ++n) {
        SCOPED_TRACE("request " + std::to_string(n) + " refused");
        ASSERT_TRUE(OpenPanel());
        Point("docs");
        unsigned before = HeapRequests();
        FailHeapRequest(n);
        host_->PressKey(KEY_RETURN, 0);
        FailHeapRequest(0);
        finished = HeapRequests() - before < n;
        host_->PressKey(KEY_R, PKF_CONTROL);
        if (host_->Active().title == top) {
            EXPECT_EQ(Listed().size(), 4u);
        } else {
            EXPECT_EQ(host_->Active().title, top + ": " + HostPath("C:\\docs*"));
            EXPECT_EQ(Listed(), std::vector<std::string>{"scratch"});
        }
        host_->ClosePanel(host_->Active());
    }
}

TEST_F(FailureTest, WritesTheStoreRefusesAreReportedWhereverTheyAreMade) {
    REQUIRE_HOOKS();
    StoreOption(kShowErrors, 1);
    Restart();
    ASSERT_TRUE(OpenPanel());  // every section exists before the store is locked
    LockPersistentStore();
    Point("work");
    script_.AnswerDialog(Confirm(6, {{4, HostPath("C:\\moved")}}));
    script_.AnswerMessage(0);
    EXPECT_EQ(host_->PressKey(KEY_F4, 0), 1);
    script_.AnswerDialog(Confirm(5, {{2, "new"}, {4, "*"}}));
    script_.AnswerMessage(0);
    EXPECT_EQ(host_->MakeDirectory(), 1);
    Point("work");
    script_.AnswerMessage(0);
    script_.AnswerMessage(0);
    EXPECT_EQ(host_->PressKey(KEY_F8, 0), 1);
    host_->ClosePanel(host_->Active());
    script_.AnswerMessage(0);
    host_->RunCommandLine("cd::added");
    UnlockPersistentStore();

    EXPECT_EQ(ErrorReports(), 4u);
    for (const MessageCall& call : host_->messages) {
        if (call.lines[0] == Msg(kMsgErrorTitle)) {
            EXPECT_TRUE(SaysWriteRefused(call)) << testing::PrintToString(call.lines);
        }
    }
    EXPECT_EQ(StoredText("\\Keys", "work"), HostPath("C:\\work"));
    EXPECT_EQ(StoredText("\\Filters", "new"), "<missing>");
    EXPECT_EQ(StoredText("\\Keys", "added"), "<missing>");
}

TEST_F(FailureTest, FilterSectionThatCannotBeOpenedFailsMakeDirectory) {
    REQUIRE_HOOKS();
    for (DWORD showErrors : {1, 0}) {
        StoreOption(kShowErrors, showErrors);
        Restart();
        ASSERT_TRUE(OpenPanel());
        DialogAnswer answer;
        answer.result = 5;
        answer.texts = {{2, "new"}, {4, "*"}};
        script_.AnswerDialog(answer);
        FailKeyOpen(ModuleKeyPath("\\Filters").c_str());
        if (showErrors != 0) {
            script_.AnswerMessage(0);
        }
        EXPECT_EQ(host_->MakeDirectory(), 0);
        FailKeyOpen(nullptr);
        EXPECT_EQ(StoredText("\\Filters", "new"), "<missing>");
        EXPECT_EQ(host_->messages.size(), 1u) << "shown once, while ShowErrors was on";
        EXPECT_EQ(host_->messages.back().lines,
                  (std::vector<std::string>{Msg(kMsgErrorTitle), Msg(kMsgUnexpected)}));
        host_->ClosePanel(host_->Active());
    }
}

TEST_F(FailureTest, RootKeyThatCannotBeOpenedFailsConfigure) {
    REQUIRE_HOOKS();
    StoreOption(kShowErrors, 1);
    Restart();
    DialogAnswer answer;
    answer.result = 8;
    answer.texts = {{7, "go:"}};
    script_.AnswerDialog(answer);
    script_.AnswerMessage(0);
    FailKeyOpen(ModuleKeyPath("").c_str());
    EXPECT_EQ(host_->Configure(), 0);
    FailKeyOpen(nullptr);
    EXPECT_EQ(StoredText("", "Prefix"), "cd:");
    ASSERT_EQ(host_->messages.size(), 1u);
    EXPECT_EQ(host_->messages[0].lines[1], Msg(kMsgUnexpected));
}

TEST_F(FailureTest, SectionsThatCannotBeOpenedLeaveTheListWithWhatCameBefore) {
    REQUIRE_HOOKS();
    StoreOption(kShowErrors, 1);
    Restart();
    FailKeyOpen(ModuleKeyPath("\\Keys").c_str());
    ASSERT_TRUE(OpenPanel());
    EXPECT_EQ(Listed(), std::vector<std::string>{"docs"});
    EXPECT_TRUE(host_->messages.empty());
    FailKeyOpen(nullptr);
    EXPECT_EQ(host_->PressKey(KEY_R, PKF_CONTROL), 1);
    EXPECT_EQ(Listed(), (std::vector<std::string>{"docs", "work", "remote", "scratch"}));
}

TEST_F(FailureTest, FilterLookupThatCannotReadItsSectionIsAnUnexpectedError) {
    REQUIRE_HOOKS();
    StoreOption(kShowErrors, 1);
    Restart();
    script_.AnswerMessage(0);
    FailKeyOpen(ModuleKeyPath("\\Filters").c_str());
    host_->RunCommandLine("cd:docs");
    FailKeyOpen(nullptr);
    EXPECT_EQ(host_->Active().plugin, nullptr);
    ASSERT_EQ(host_->messages.size(), 1u);
    EXPECT_EQ(host_->messages[0].lines[1], Msg(kMsgUnexpected));
}

}  // namespace
