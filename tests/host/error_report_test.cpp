// Error boxes: shown while ShowErrors is on (a refused add always), with the message of each
// code.
#include "host/error_report.h"

#include "host/messages.h"
#include "host/module_state.h"
#include "host_fixture.h"
#include "store/errors.h"

namespace {

class ErrorReportTest : public HostTest {};

TEST_F(ErrorReportTest, OnlyRefusedAddsAreShownWhileShowErrorsIsOff) {
    StartModule();
    for (int code = 1; code <= 5; ++code) {
        ReportError(code);
    }
    EXPECT_TRUE(sim_->messages.empty());
    const std::pair<int, int> refusedAdds[] = {{ErrNameWithSeparator, MNameWithSeparator},
                                               {ErrDirectoryTooLong, MDirectoryTooLong},
                                               {ErrNameBeginsWithCommand, MNameBeginsWithCommand},
                                               {ErrPanelWithoutDirectory, MPanelWithoutDirectory},
                                               {ErrNameWithWildcard, MNameWithWildcard},
                                               {ErrDirectoryNotWhole, MDirectoryNotWhole},
                                               {ErrTargetRunsPrefix, MTargetRunsPrefix}};
    for (auto [code, message] : refusedAdds) {
        ReportError(code);
        EXPECT_EQ(sim_->messages.back().lines,
                  (std::vector<std::string>{Msg(MErrorTitle), Msg(message)}));
    }
    // A delete without a name, a command whose question was cancelled or that said already why
    // it was not done.
    ReportError(ErrNoNameToDelete);
    EXPECT_EQ(sim_->messages.size(), 7u);
    Settings.ShowErrors = 1;
    ReportError(ErrNoReport);
    EXPECT_EQ(sim_->messages.size(), 7u);
}

TEST_F(ErrorReportTest, EachCodeShowsItsMessageUnderTheErrorTitle) {
    StartModule();
    Settings.ShowErrors = 1;
    ReportError(ErrRegistry);
    ReportError(ErrNoMemory);
    ReportError(ErrUnexpected);
    ASSERT_EQ(sim_->messages.size(), 3u);
    const int expected[] = {MRegistryError, MNoMemory, MUnexpectedError};
    for (int i = 0; i < 3; ++i) {
        const MessageCall& call = sim_->messages[i];
        EXPECT_EQ(call.flags, static_cast<DWORD>(FMSG_MB_OK));
        EXPECT_EQ(call.buttons, 0);
        EXPECT_EQ(call.lines, (std::vector<std::string>{Msg(MErrorTitle), Msg(expected[i])}));
    }
}

TEST_F(ErrorReportTest, NotFoundNamesTheLastUnknownNameQuotedWithItsBlanks) {
    StartModule();
    Settings.ShowErrors = 1;
    ReportError(ErrNotFound);
    LastUnknownName.Assign("  zz/sub");
    ReportError(ErrNotFound);
    ASSERT_EQ(sim_->messages.size(), 2u);
    EXPECT_EQ(sim_->messages[0].lines[1], Msg(MNameNotFound));
    EXPECT_EQ(sim_->messages[1].lines[1], Msg(MNameNotFound) + "'  zz/sub'");
    EXPECT_STREQ(LastUnknownName.Text(), "  zz/sub") << "the report changes nothing";
}

TEST_F(ErrorReportTest, EmptyNameAndUnknownCodesNeverReadPastTheTable) {
    StartModule();
    Settings.ShowErrors = 1;
    ReportError(ErrEmptyName);
    ReportError(42);
    ReportError(-1);
    ReportError(ErrNameWithSeparator);
    ReportError(ErrDirectoryTooLong);
    ReportError(ErrNoNameToDelete);
    ASSERT_EQ(sim_->messages.size(), 6u);
    // Each from the language files, so it is said in the language of the interface.
    EXPECT_EQ(sim_->messages[0].lines[1], Msg(MEmptyNameCommand));
    EXPECT_EQ(sim_->messages[1].lines[1], Msg(MUnexpectedError));
    EXPECT_EQ(sim_->messages[2].lines[1], Msg(MUnexpectedError));
    EXPECT_EQ(sim_->messages[3].lines[1], Msg(MNameWithSeparator));
    EXPECT_EQ(sim_->messages[4].lines[1], Msg(MDirectoryTooLong));
    EXPECT_EQ(sim_->messages[5].lines[1], Msg(MNoNameToDelete));
}

TEST_F(ErrorReportTest, NoMemoryForTheNotFoundLineLeavesAsThrownCode) {
    REQUIRE_HOOKS();
    StartModule();
    Settings.ShowErrors = 1;
    FailHeapRequest(1);
    EXPECT_THROW(ReportError(ErrNotFound), terrors_t);
    EXPECT_TRUE(sim_->messages.empty());
}

}  // namespace
