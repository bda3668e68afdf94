// Completing a name that is not stored: from the permanent names only, at once for a single
// candidate, from a menu for several.
#include "commands/completion_menu.h"

#include <algorithm>
#include <string>
#include <vector>

#include "entry/command_line.h"
#include "host/host_services.h"
#include "host/messages.h"
#include "host/module_state.h"
#include "host_fixture.h"
#include "registry_probe.h"
#include "store/errors.h"
#include "store/name_store.h"

namespace {

class CompletionTest : public HostTest {
  protected:
    void SetUp() override {
        HostTest::SetUp();
        StartModule();
        AddName("proj", "D:\\proj", true);
        AddName("pub", "D:\\pub", true);
        AddName("docs", "D:\\docs", true);
        AddName("tmpname", "D:\\tmp", false);
    }

    std::string Complete(const char* typed) {
        TextBuffer target;
        return CompleteName(typed, target) == 1 ? target.Text() : "<none>";
    }
};

TEST_F(CompletionTest, SingleCandidateIsTakenWithoutMenu) {
    EXPECT_EQ(Complete("d"), "D:\\docs");
    EXPECT_EQ(Complete("pro"), "D:\\proj");
    EXPECT_TRUE(sim_->menus.empty());
}

TEST_F(CompletionTest, SeveralCandidatesAreOfferedInStoreOrderWithNothingPreselected) {
    script_.AnswerMenu(1);
    std::string chosen = Complete("p");
    ASSERT_EQ(sim_->menus.size(), 1u);
    const MenuCall& menu = sim_->menus[0];
    EXPECT_EQ(menu.items, InEnumerationOrder({"proj", "pub"}));
    EXPECT_EQ(menu.selected, (std::vector<int>{0, 0}));
    EXPECT_EQ(menu.flags, static_cast<DWORD>(FMENU_WRAPMODE | FMENU_AUTOHIGHLIGHT));
    EXPECT_EQ(chosen, "D:\\" + menu.items[1]);
}

TEST_F(CompletionTest, CancelledMenuOrNoCandidateCompletesNothing) {
    script_.AnswerMenu(-1);
    EXPECT_EQ(Complete("p"), "<none>");
    EXPECT_EQ(Complete("x"), "<none>");
    EXPECT_EQ(sim_->menus.size(), 1u);
}

TEST_F(CompletionTest, TemporaryNamesAreNeverOffered) {
    EXPECT_EQ(Complete("tmp"), "<none>");
    EXPECT_TRUE(sim_->menus.empty());
}

TEST_F(CompletionTest, TypedWildcardsActAsWildcards) {
    EXPECT_EQ(Complete("p?b"), "D:\\pub");
    script_.AnswerMenu(0);
    Complete("");
    ASSERT_EQ(sim_->menus.size(), 1u);
    EXPECT_EQ(sim_->menus[0].items.size(), 3u) << "the empty name offers every permanent name";
}

TEST_F(CompletionTest, AQuestionMarkThatNamesNoNameIsNotCompletedAndTheBoxSaysSo) {
    // The Windows hosts hand over '?' for a letter their code page lacks: completed, "?" would
    // offer every name of one letter and more, and jump somewhere unrelated.
    Settings.AutoComplite = 1;
    EXPECT_EQ(ProcessCommandLine("?"), ErrNoReport);
    EXPECT_EQ(ProcessCommandLine("p?b/src"), ErrNoReport);
    EXPECT_TRUE(sim_->menus.empty());
    ASSERT_EQ(sim_->messages.size(), 2u);
    EXPECT_EQ(sim_->messages[0].lines,
              (std::vector<std::string>{Msg(MErrorTitle), Msg(MNoCompletion), "?"}));
    EXPECT_EQ(ProcessCommandLine("d*"), 0) << "a '*' the host never puts for a letter";
    EXPECT_EQ(sim_->controls.back().text, "D:\\docs");
    // far2l hands over UTF-8 whole, where a '?' was typed as one.
    Host.CodePageTexts = false;
    EXPECT_EQ(ProcessCommandLine("p?b"), 0);
    EXPECT_EQ(sim_->controls.back().text, "D:\\pub");
}

TEST_F(CompletionTest, LongNameIsShownCutButLookedUpWhole) {
    std::string longName = "long" + std::string(200, 'n');
    AddName(longName.c_str(), "D:\\long", true);
    AddName("longer", "D:\\longer", true);
    script_.AnswerMenu(0);
    script_.AnswerMenu(1);
    std::string first = Complete("long");
    std::string second = Complete("long");
    ASSERT_EQ(sim_->menus.size(), 2u);
    for (const std::string& shown : sim_->menus[0].items) {
        EXPECT_LE(shown.size(), 127u);
        EXPECT_TRUE(shown == "longer" || shown.substr(shown.size() - 3) == "...") << shown;
    }
    std::vector<std::string> chosen = {first, second};
    EXPECT_NE(std::find(chosen.begin(), chosen.end(), "D:\\long"), chosen.end())
        << "the cut name still finds its target";
}

TEST_F(CompletionTest, CommandLineJumpsThroughCompletionAndAppendsRest) {
    script_.AnswerMenu(0);
    EXPECT_EQ(ProcessCommandLine("p/src"), 0);
    EXPECT_EQ(sim_->controls.back().command, FCTL_CLOSEPLUGIN);
    EXPECT_EQ(sim_->controls.back().text, "D:\\" + sim_->menus[0].items[0] + "\\src");
    Settings.AutoComplite = 0;
    EXPECT_EQ(ProcessCommandLine("doc"), ErrNotFound);
    EXPECT_EQ(sim_->menus.size(), 1u);
}

TEST_F(CompletionTest, RefusedHeapEndsAsCancelledOrPassesTheCodeWithoutLeaks) {
    REQUIRE_HOOKS();
    for (unsigned n = 1;; ++n) {
        script_.AnswerMenu(0);
        unsigned before = HeapRequests();
        FailHeapRequest(n);
        TextBuffer target;
        int result = -1;
        try {
            result = CompleteName("p", target);
        } catch (terrors_t code) {
            EXPECT_EQ(code, ErrNoMemory) << "request " << n;
        }
        FailHeapRequest(0);
        if (HeapRequests() - before < n) {
            EXPECT_EQ(result, 1) << "a run the refusal never met completes";
            break;
        }
        // A refusal while gathering keeps the names gathered so far, so a name may still be
        // taken; otherwise the completion ends as cancelled or with the memory code.
        EXPECT_TRUE(result == 0 || result == 1 || result == -1) << "request " << n;
        ASSERT_LT(n, 100u);
    }
}

}  // namespace
