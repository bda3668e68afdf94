// Error boxes: shown only while ShowErrors is on, with the message of each code.
#include "host/error_report.h"

#include "host/messages.h"
#include "host/module_state.h"
#include "host_fixture.h"
#include "store/errors.h"

namespace {

class ErrorReportTest : public HostTest {};

TEST_F(ErrorReportTest, NothingIsShownWhileShowErrorsIsOff) {
    StartModule();
    for (int code = 1; code <= 5; ++code) {
        ReportError(code);
    }
    EXPECT_TRUE(sim_->messages.empty());
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

TEST_F(ErrorReportTest, NotFoundNamesTheLastUnknownName) {
    StartModule();
    Settings.ShowErrors = 1;
    ReportError(ErrNotFound);
    LastUnknownName.Assign("zz/sub");
    ReportError(ErrNotFound);
    ASSERT_EQ(sim_->messages.size(), 2u);
    EXPECT_EQ(sim_->messages[0].lines[1], Msg(MNameNotFound));
    EXPECT_EQ(sim_->messages[1].lines[1], Msg(MNameNotFound) + "zz/sub");
    EXPECT_STREQ(LastUnknownName.Text(), "zz/sub") << "the report changes nothing";
}

TEST_F(ErrorReportTest, EmptyNameAndUnknownCodesNeverReadPastTheTable) {
    StartModule();
    Settings.ShowErrors = 1;
    ReportError(ErrEmptyName);
    ReportError(42);
    ReportError(-1);
    ASSERT_EQ(sim_->messages.size(), 3u);
    EXPECT_NE(sim_->messages[0].lines[1].find("name"), std::string::npos);
    EXPECT_EQ(sim_->messages[1].lines[1], Msg(MUnexpectedError));
    EXPECT_EQ(sim_->messages[2].lines[1], Msg(MUnexpectedError));
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
