// The name dialog (F4 edits, F4 with a modifier adds) and the filter dialog (F7, F4 on a
// filter): what the host is asked to show, and what each way of closing them leaves in the
// store.
#include <sstream>

#include "scenario_fixture.h"

namespace {

constexpr int kNameOk = 6;
constexpr int kNameCancel = 7;
constexpr int kFilterOk = 5;
constexpr int kFilterCancel = 6;

class DialogsTest : public ScenarioTest {
  protected:
    const DialogCall& LastDialog() { return host_->dialogs.back(); }

    DialogAnswer Answer(int result, std::map<int, std::string> texts = {},
                        std::map<int, int> checks = {}) {
        DialogAnswer answer;
        answer.result = result;
        answer.texts = std::move(texts);
        answer.checks = std::move(checks);
        return answer;
    }
    void PressOn(const std::string& item, int key, unsigned int state, DialogAnswer answer) {
        Point(item);
        script_.AnswerDialog(std::move(answer));
        EXPECT_EQ(host_->PressKey(key, state), 1);
    }
};

// One line per item: type, X1 Y1 X2 Y2, focus, check state or history, flags, default, text.
std::vector<std::string> Layout(const DialogCall& call) {
    std::vector<std::string> lines;
    for (const DialogField& f : call.items) {
        std::ostringstream line;
        line << f.type << " " << f.x1 << " " << f.y1 << " " << f.x2 << " " << f.y2 << " " << f.focus
             << " " << (f.history.empty() ? std::to_string(f.selected) : f.history) << " "
             << std::hex << f.flags << std::dec << " " << f.defaultButton << " " << f.text;
        lines.push_back(line.str());
    }
    return lines;
}

TEST_F(DialogsTest, NameDialogAddsWithTheOtherPanelsDirectoryAndEditsWithTheStoredPath) {
    StoreName("work", HostPath("C:\\work"));
    ASSERT_TRUE(OpenPanel());
    PressOn("work", KEY_F4, PKF_SHIFT, Answer(-1));
    EXPECT_EQ(LastDialog().width, 50);
    EXPECT_EQ(LastDialog().height, 10);
    EXPECT_EQ(Layout(LastDialog()),
              (std::vector<std::string>{
                  "3 2 1 47 8 0 0 0 0 " + Msg(kMsgAddNameTitle),
                  "0 4 2 0 0 0 0 0 0 " + Msg(kMsgNameLabel),
                  "4 4 3 45 1 1 VelmoraInsertHistoryName 40000 0 ",
                  "0 4 4 0 0 0 0 0 0 " + Msg(kMsgPathLabel),
                  "4 4 5 45 1 1 VelmoraInsertHistoryPath 40000 0 " + HostPath("D:\\other"),
                  "8 5 6 0 0 0 0 0 0 " + Msg(kMsgTemporaryBox), "7 16 7 0 0 0 0 0 0 &OK",
                  "7 24 7 0 0 0 0 0 0 &Cancel"}));

    PressOn("work", KEY_F4, 0, Answer(-1));
    std::vector<std::string> edit = Layout(LastDialog());
    ASSERT_EQ(edit.size(), 8u);
    EXPECT_EQ(edit[0], "3 2 1 47 8 0 0 0 0 " + Msg(kMsgEditNameTitle));
    EXPECT_EQ(edit[2], "4 4 3 45 1 1 VelmoraInsertHistoryName 40000 0 work");
    EXPECT_EQ(edit[4], "4 4 5 45 1 1 VelmoraInsertHistoryPath 40000 0 " + HostPath("C:\\work"));
    EXPECT_EQ(edit[5], "8 5 6 0 0 0 0 10000000 0 " + Msg(kMsgTemporaryBox));
}

TEST_F(DialogsTest, FilterDialogStartsEmptyFromF7AndFilledFromF4OnAFilter) {
    StoreFilter("docs", HostPath("C:\\docs*"));
    ASSERT_TRUE(OpenPanel());
    script_.AnswerDialog(Answer(-1));
    host_->PressKey(KEY_F7, 0);
    EXPECT_EQ(LastDialog().width, 52);
    EXPECT_EQ(LastDialog().height, 10);
    EXPECT_EQ(Layout(LastDialog()),
              (std::vector<std::string>{
                  "3 2 1 49 8 0 0 0 0 " + Msg(kMsgFilterTitle),
                  "0 5 2 0 0 0 0 0 0 " + Msg(kMsgFilterNameLabel), "4 5 3 46 1 1 0 0 0 ",
                  "0 5 4 0 0 0 0 0 0 " + Msg(kMsgFilterPatternLabel), "4 5 5 46 1 1 0 0 0 ",
                  "7 16 7 0 0 0 0 0 0 &OK", "7 24 7 0 0 0 0 0 0 &Cancel"}));

    PressOn("docs", KEY_F4, 0, Answer(-1));
    std::vector<std::string> edit = Layout(LastDialog());
    ASSERT_EQ(edit.size(), 7u);
    EXPECT_EQ(edit[2], "4 5 3 46 1 1 0 0 0 docs");
    EXPECT_EQ(edit[4], "4 5 5 46 1 1 0 0 0 " + HostPath("C:\\docs*"));
}

TEST_F(DialogsTest, AddOffersNoDirectoryTheHostMayHaveCut) {
    ASSERT_TRUE(OpenPanel());
    host_->Passive().curDir = HostPath("D:\\") + std::string(sizeof(PanelInfo::CurDir), 'd');
    script_.AnswerDialog(Answer(-1));
    EXPECT_EQ(host_->PressKey(KEY_F4, PKF_SHIFT), 1);
    EXPECT_EQ(LastDialog().items[4].text, "");
}

TEST_F(DialogsTest, EveryModifiedF4OpensTheAddDialog) {
    StoreFilter("docs", HostPath("C:\\docs*"));
    ASSERT_TRUE(OpenPanel());
    for (unsigned int state : {PKF_CONTROL, PKF_ALT, PKF_SHIFT}) {
        PressOn("docs", KEY_F4, state, Answer(-1));
        EXPECT_EQ(LastDialog().items[0].text, Msg(kMsgAddNameTitle)) << state;
    }
    EXPECT_EQ(host_->dialogs.size(), 3u);
}

TEST_F(DialogsTest, AddWithTheTemporaryBoxStoresATemporaryNameForTheOtherPanelsDirectory) {
    StoreOption(kTemporaryAsHidden, 1);
    Restart();
    ASSERT_TRUE(OpenPanel());
    script_.AnswerDialog(Answer(kNameOk, {{2, "there"}}, {{5, 1}}));
    EXPECT_EQ(host_->PressKey(KEY_F4, PKF_SHIFT), 1);
    EXPECT_EQ(StoredText("\\TempKeys", "there"), HostPath("D:\\other"));
    EXPECT_TRUE(StoredNames("\\Keys").empty());
    EXPECT_EQ(ListedWithAttributes(),
              (std::vector<std::pair<std::string, DWORD>>{{"there", kHiddenAttributes}}));
}

TEST_F(DialogsTest, EditingATemporaryNameChangesItWhereItIsStored) {
    StoreTemporaryName("scratch", HostPath("E:\\scratch"));
    ASSERT_TRUE(OpenPanel());
    PressOn("scratch", KEY_F4, 0, Answer(kNameOk, {{4, HostPath("E:\\moved")}}));
    EXPECT_TRUE(host_->messages.empty());
    EXPECT_EQ(StoredText("\\TempKeys", "scratch"), HostPath("E:\\moved"));
    EXPECT_TRUE(StoredNames("\\Keys").empty());
    EXPECT_EQ(Listed(), std::vector<std::string>{"scratch"});

    PressOn("scratch", KEY_F4, 0, Answer(kNameOk, {{2, "kept"}}));
    EXPECT_EQ(StoredText("\\Keys", "kept"), HostPath("E:\\moved")) << "a renamed one is permanent";
    EXPECT_EQ(StoredText("\\TempKeys", "scratch"), HostPath("E:\\moved"));
}

TEST_F(DialogsTest, RenamingOntoAStoredNameAsksAboutTheNameBeingReplaced) {
    StoreName("old", HostPath("C:\\old"));
    StoreName("taken", HostPath("C:\\taken"));
    ASSERT_TRUE(OpenPanel());

    script_.AnswerMessage(1);
    PressOn("old", KEY_F4, 0, Answer(kNameOk, {{2, "taken"}}));
    ASSERT_EQ(host_->messages.size(), 1u);
    EXPECT_EQ(host_->messages[0].flags, static_cast<DWORD>(FMSG_MB_OKCANCEL));
    EXPECT_EQ(host_->messages[0].lines, (std::vector<std::string>{Msg(kMsgReplaceName), "taken"}));
    EXPECT_EQ(StoredText("\\Keys", "taken"), HostPath("C:\\taken")) << "cancelled: nothing stored";

    script_.AnswerMessage(0);
    PressOn("old", KEY_F4, 0, Answer(kNameOk, {{2, "taken"}}));
    EXPECT_EQ(host_->messages.size(), 2u);
    EXPECT_EQ(StoredText("\\Keys", "taken"), HostPath("C:\\old"));
    EXPECT_EQ(StoredText("\\Keys", "old"), HostPath("C:\\old")) << "the old name stays";
}

TEST_F(DialogsTest, AddingUnderAStoredNameAsksAlsoOnThatNamesItem) {
    StoreName("work", HostPath("C:\\work"));
    ASSERT_TRUE(OpenPanel());
    script_.AnswerMessage(1);
    PressOn("work", KEY_F4, PKF_SHIFT, Answer(kNameOk, {{2, "work"}, {4, HostPath("C:\\new")}}));
    ASSERT_EQ(host_->messages.size(), 1u);
    EXPECT_EQ(host_->messages[0].lines, (std::vector<std::string>{Msg(kMsgReplaceName), "work"}));
    EXPECT_EQ(StoredText("\\Keys", "work"), HostPath("C:\\work"));

    script_.AnswerMessage(0);
    PressOn("work", KEY_F4, PKF_SHIFT, Answer(kNameOk, {{2, "work"}, {4, HostPath("C:\\new")}}));
    EXPECT_EQ(StoredText("\\Keys", "work"), HostPath("C:\\new"));
}

TEST_F(DialogsTest, EmptyNamesAreRefusedAndTheDialogComesBackWithWhatWasTyped) {
    StoreOption(kShowErrors, 1);
    Restart();
    ASSERT_TRUE(OpenPanel());
    const std::vector<std::string> refused = {Msg(kMsgErrorTitle), Msg(kMsgEmptyNameDialog)};
    for (int box = 0; box < 3; ++box) {
        script_.AnswerMessage(0);
    }
    script_.AnswerDialog(Answer(kFilterOk, {{2, ""}, {4, HostPath("C:\\x*")}}));
    script_.AnswerDialog(Answer(-1));
    host_->PressKey(KEY_F7, 0);
    ASSERT_EQ(host_->dialogs.size(), 2u);
    EXPECT_EQ(host_->dialogs[1].items[4].text, HostPath("C:\\x*"));

    for (const char* name : {"", "abc:"}) {
        script_.AnswerDialog(Answer(kNameOk, {{2, name}, {4, HostPath("C:\\p")}}, {{5, 1}}));
        script_.AnswerDialog(Answer(-1));
        host_->PressKey(KEY_F4, PKF_SHIFT);
        EXPECT_EQ(LastDialog().items[2].text, name);
        EXPECT_EQ(LastDialog().items[4].text, HostPath("C:\\p"));
        EXPECT_EQ(LastDialog().items[5].selected, 1);
    }
    ASSERT_EQ(host_->messages.size(), 3u);
    for (const MessageCall& message : host_->messages) {
        EXPECT_EQ(message.lines, refused);
    }
    for (const char* section : {"\\Filters", "\\Keys", "\\TempKeys"}) {
        EXPECT_TRUE(StoredNames(section).empty()) << section;
    }
}

TEST_F(DialogsTest, EmptyPathsAndPatternsAreRefusedAlsoWhileShowErrorsIsOff) {
    host_->Passive().curDir = "";  // a panel without a directory offers none
    ASSERT_TRUE(OpenPanel());
    script_.AnswerMessage(0);
    script_.AnswerDialog(Answer(kNameOk, {{2, "nopath"}}));
    script_.AnswerDialog(Answer(-1));
    host_->PressKey(KEY_F4, PKF_SHIFT);
    script_.AnswerMessage(0);
    script_.AnswerDialog(Answer(kFilterOk, {{2, "nopattern"}}));
    script_.AnswerDialog(Answer(-1));
    host_->PressKey(KEY_F7, 0);
    ASSERT_EQ(host_->messages.size(), 2u);
    EXPECT_EQ(host_->messages[0].lines[1], Msg(kMsgEmptyPath));
    EXPECT_EQ(host_->messages[1].lines[1], Msg(kMsgEmptyPattern));
    EXPECT_EQ(LastDialog().items[2].text, "nopattern");
    for (const char* section : {"\\Filters", "\\Keys", "\\TempKeys"}) {
        EXPECT_TRUE(StoredNames(section).empty()) << section;
    }
}

TEST_F(DialogsTest, NamesWithSeparatorsAreRefusedWhileOnesStoredEarlierStayUsable) {
    StoreName("a\\b", HostPath("C:\\ab"));
    ASSERT_TRUE(OpenPanel());
    script_.AnswerMessage(0);
    script_.AnswerDialog(Answer(kNameOk, {{2, "c/d"}}));
    script_.AnswerDialog(Answer(-1));
    host_->PressKey(KEY_F4, PKF_SHIFT);
    ASSERT_EQ(host_->messages.size(), 1u);
    EXPECT_EQ(host_->messages[0].lines[1], Msg(kMsgNameWithSeparator));
    EXPECT_EQ(LastDialog().items[2].text, "c/d");
    // The same rule in every dialog that names an entry, and for the '?' the host puts for a
    // letter it cannot hand over.
    const struct {
        int key;
        const char* name;
        int message;
    } refused[] = {{KEY_F7, "f\\g", kMsgNameWithSeparator},
                   {KEY_F7, "???", kMsgNameWithWildcard},
                   {KEY_F4, "a*", kMsgNameWithWildcard}};
    for (const auto& r : refused) {
        script_.AnswerMessage(0);
        script_.AnswerDialog(
            Answer(r.key == KEY_F7 ? kFilterOk : kNameOk, {{2, r.name}, {4, HostPath("C:\\*")}}));
        script_.AnswerDialog(Answer(-1));
        host_->PressKey(r.key, r.key == KEY_F7 ? 0 : PKF_SHIFT);
        EXPECT_EQ(LastMessage(), (std::vector<std::string>{Msg(kMsgErrorTitle), Msg(r.message)}))
            << r.name;
        EXPECT_EQ(LastDialog().items[2].text, r.name);
    }
    EXPECT_EQ(host_->messages.size(), 4u);
    EXPECT_TRUE(StoredNames("\\Filters").empty());

    PressOn("a\\b", KEY_F4, 0, Answer(kNameOk, {{4, HostPath("C:\\moved")}}));
    EXPECT_EQ(host_->messages.size(), 4u);
    EXPECT_EQ(StoredNames("\\Keys"), std::vector<std::string>{"a\\b"});
    EXPECT_EQ(StoredText("\\Keys", "a\\b"), HostPath("C:\\moved"));
    Point("a\\b");
    EXPECT_EQ(host_->PressKey(KEY_RETURN, 0), 1);
    EXPECT_EQ(host_->Active().curDir, HostPath("C:\\moved"));
}

TEST_F(DialogsTest, PathsOnlyFromTheRootOrForAnotherPluginAndTheCursorOnTheRefusedField) {
    ASSERT_TRUE(OpenPanel());
    // Relative, it would lead somewhere else from every folder; beginning with the prefix, it
    // would run the module again without end; '?' and '*' the Windows hosts would take for a
    // pattern, while far2l takes them in a path.
    std::vector<std::pair<std::string, int>> refused = {{"beta", kMsgRelativePath},
                                                        {"CD:proj:x", kMsgTargetRunsPrefix}};
    if (!kFar2lHost) {
        refused.emplace_back("C:\\u\\??", kMsgWildcardDirectory);
    }
    for (const auto& [path, message] : refused) {
        script_.AnswerMessage(0);
        script_.AnswerDialog(Answer(kNameOk, {{2, "  sp  "}, {4, path}}));
        script_.AnswerDialog(Answer(-1));
        host_->PressKey(KEY_F4, PKF_SHIFT);
        EXPECT_EQ(LastMessage(), (std::vector<std::string>{Msg(kMsgErrorTitle), Msg(message)}))
            << path;
        std::vector<int> focus;
        for (const DialogField& field : LastDialog().items) {
            focus.push_back(field.focus);
        }
        EXPECT_EQ(focus, (std::vector<int>{0, 0, 0, 0, 1, 0, 0, 0})) << path;
    }
    // The blanks around a name are dropped, as the host drops them from a command line.
    script_.AnswerDialog(Answer(kNameOk, {{2, "  sp  "}, {4, HostPath("\\\\srv\\share")}}));
    host_->PressKey(KEY_F4, PKF_SHIFT);
    EXPECT_EQ(StoredNames("\\Keys"), std::vector<std::string>{"sp"});
    EXPECT_EQ(StoredText("\\Keys", "sp"), HostPath("\\\\srv\\share"));
}

TEST_F(DialogsTest, EscapeOrCancelStoresNothingAndAsksNothing) {
    StoreName("work", HostPath("C:\\work"));
    StoreFilter("docs", HostPath("C:\\docs*"));
    ASSERT_TRUE(OpenPanel());
    const std::map<int, std::string> typed = {{2, "work"}, {4, HostPath("C:\\elsewhere")}};
    for (int result : {-1, kNameCancel}) {
        PressOn("work", KEY_F4, 0, Answer(result, typed));
        PressOn("work", KEY_F4, PKF_SHIFT, Answer(result, {{2, "fresh"}}, {{5, 1}}));
    }
    for (int result : {-1, kFilterCancel}) {
        PressOn("docs", KEY_F4, 0, Answer(result, {{2, "docs"}, {4, "*"}}));
        script_.AnswerDialog(Answer(result, {{2, "new"}, {4, "*"}}));
        host_->PressKey(KEY_F7, 0);
    }
    EXPECT_EQ(host_->dialogs.size(), 8u);
    EXPECT_TRUE(host_->messages.empty());
    EXPECT_EQ(StoredNames("\\Keys"), std::vector<std::string>{"work"});
    EXPECT_EQ(StoredText("\\Keys", "work"), HostPath("C:\\work"));
    EXPECT_TRUE(StoredNames("\\TempKeys").empty());
    EXPECT_EQ(StoredNames("\\Filters"), std::vector<std::string>{"docs"});
    EXPECT_EQ(StoredText("\\Filters", "docs"), HostPath("C:\\docs*"));
}

TEST_F(DialogsTest, TextsLongerThanTheirFieldsSurviveAConfirmAndAreNeverStoredCut) {
    const std::string longPath = HostPath("C:\\") + std::string(600, 'p');
    const std::string longPattern = HostPath("C:\\") + std::string(600, 'q') + "*";
    const std::string longName(600, 'n');
    const std::string longFilter(600, 'f');
    StoreName("deep", longPath);
    StoreFilter("deeper", longPattern);
    StoreName(longName.c_str(), HostPath("C:\\n"));
    StoreFilter(longFilter.c_str(), HostPath("C:\\f*"));
    ASSERT_TRUE(OpenPanel());
    PressOn("deep", KEY_F4, 0, Answer(kNameOk));
    EXPECT_EQ(LastDialog().items[4].text, longPath.substr(0, 511)) << "shown cut to the field";
    PressOn("deeper", KEY_F4, 0, Answer(kFilterOk));
    EXPECT_EQ(StoredText("\\Keys", "deep"), longPath);
    EXPECT_EQ(StoredText("\\Filters", "deeper"), longPattern);
    // The panel shows these names cut to its field, and the dialogs cut them to theirs.
    const size_t shown = sizeof(FAR_FIND_DATA::cFileName) - 1;
    PressOn(longName.substr(0, shown), KEY_F4, 0, Answer(kNameOk));
    PressOn(longFilter.substr(0, shown), KEY_F4, 0, Answer(kFilterOk));
    EXPECT_TRUE(host_->messages.empty()) << "no other name is replaced";
    EXPECT_EQ(StoredNames("\\Keys"), InEnumerationOrder({"deep", longName}));
    EXPECT_EQ(StoredNames("\\Filters"), InEnumerationOrder({"deeper", longFilter}));

    // An edit of a text shown cut would store what nobody saw whole: refused, and the dialog
    // comes back with the rest as typed.
    script_.AnswerDialog(Answer(kNameOk, {{2, "deep2"}, {4, longPath.substr(0, 510)}}));
    script_.AnswerMessage(0);
    PressOn("deep", KEY_F4, 0, Answer(kNameCancel));
    ASSERT_EQ(host_->messages.size(), 1u);
    EXPECT_EQ(host_->messages[0].lines[1], Msg(kMsgCutTextEdited));
    EXPECT_EQ(LastDialog().items[2].text, "deep2");
    EXPECT_EQ(LastDialog().items[4].text, longPath.substr(0, 511));
    script_.AnswerDialog(Answer(kFilterOk, {{4, longPattern.substr(0, 500)}}));
    script_.AnswerMessage(0);
    PressOn("deeper", KEY_F4, 0, Answer(kFilterCancel));
    EXPECT_EQ(StoredNames("\\Keys"), InEnumerationOrder({"deep", longName}));
    EXPECT_EQ(StoredText("\\Keys", "deep"), longPath);
    EXPECT_EQ(StoredText("\\Filters", "deeper"), longPattern);
}

TEST_F(DialogsTest, NewFilterIsStoredAndListedAsAFolder) {
    StoreName("work", HostPath("C:\\work"));
    ASSERT_TRUE(OpenPanel());
    script_.AnswerDialog(Answer(kFilterOk, {{2, "docs"}, {4, HostPath("C:\\docs*")}}));
    EXPECT_EQ(host_->MakeDirectory(), 1);
    EXPECT_EQ(StoredText("\\Filters", "docs"), HostPath("C:\\docs*"));
    EXPECT_EQ(ListedWithAttributes(), (std::vector<std::pair<std::string, DWORD>>{
                                          {"docs", kFilterAttributes}, {"work", kNameAttributes}}));
}

TEST_F(DialogsTest, EditingAFilterReplacesItsPatternOrAddsAnotherUnderANewName) {
    StoreFilter("docs", HostPath("C:\\docs*"));
    ASSERT_TRUE(OpenPanel());
    PressOn("docs", KEY_F4, 0, Answer(kFilterOk, {{4, HostPath("D:\\docs*")}}));
    EXPECT_EQ(StoredNames("\\Filters"), std::vector<std::string>{"docs"});
    EXPECT_EQ(StoredText("\\Filters", "docs"), HostPath("D:\\docs*"));

    PressOn("docs", KEY_F4, 0, Answer(kFilterOk, {{2, "papers"}}));
    EXPECT_EQ(StoredText("\\Filters", "docs"), HostPath("D:\\docs*"));
    EXPECT_EQ(StoredText("\\Filters", "papers"), HostPath("D:\\docs*"));
    EXPECT_EQ(Listed(), InEnumerationOrder({"docs", "papers"}));
}

}  // namespace
