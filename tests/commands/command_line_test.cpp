// The commands behind the prefix, driven through the stand-in host: jumps with and without a
// rest, adds and deletes with every code they return, and what a miss records.
#include "entry/command_line.h"
#include "commands/jump_target.h"
#include "commands/name_commands.h"

#include <algorithm>
#include <string>
#include <vector>

#include "host/host_services.h"
#include "host/messages.h"
#include "host/module_state.h"
#include "host_fixture.h"
#include "registry_probe.h"
#include "store/errors.h"
#include "store/name_store.h"
#include "store/reg_section.h"
#include "value_name_limit.h"

namespace {

class CommandLineTest : public HostTest {
  protected:
    void SetUp() override {
        HostTest::SetUp();
        StartModule();
        sim_->Active().curDir = "D:\\here";
        AddName("proj", "D:\\work\\proj", true);
    }

    // The directory the last jump sent the active panel to.
    std::string LastJump() const {
        for (auto call = sim_->controls.rbegin(); call != sim_->controls.rend(); ++call) {
            if (call->command == FCTL_CLOSEPLUGIN) {
                return call->text;
            }
        }
        return "<none>";
    }
};

TEST_F(CommandLineTest, JumpAppendsRestBehindBackslashExactlyAsTyped) {
    const struct {
        const char* text;
        const char* target;
    } cases[] = {
        {"proj", "D:\\work\\proj"},           {"proj/src", "D:\\work\\proj\\src"},
        {"proj\\src", "D:\\work\\proj\\src"}, {"proj/a/b", "D:\\work\\proj\\a/b"},
        {"proj/", "D:\\work\\proj\\"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ProcessCommandLine(c.text), 0) << c.text;
        EXPECT_EQ(LastJump(), c.target) << c.text;
        EXPECT_EQ(sim_->controls.back().handle, INVALID_HANDLE_VALUE);
    }
    EXPECT_TRUE(sim_->posted.empty());
}

TEST_F(CommandLineTest, JumpPrefersTemporaryName) {
    AddName("proj", "E:\\temp", false);
    AddName("only", "F:\\t", false);
    EXPECT_EQ(ProcessCommandLine("proj"), 0);
    EXPECT_EQ(LastJump(), "E:\\temp");
    EXPECT_EQ(ProcessCommandLine("only/x"), 0);
    EXPECT_EQ(LastJump(), "F:\\t\\x");
}

TEST_F(CommandLineTest, RestThatMakesAPluginCommandIsTypedIntoTheCommandLine) {
    AddName("ftp:srv", "", true);  // stored as "srv" = "ftp"
    ASSERT_EQ(StoredText("\\Keys", "srv"), "ftp");
    EXPECT_EQ(ProcessCommandLine("srv/host:21"), 0);
    std::string typed = "ftp\\host:21";
    std::vector<DWORD> keys(typed.begin(), typed.end());
    keys.push_back(13);
    ASSERT_EQ(sim_->posted.size(), 1u);
    EXPECT_EQ(sim_->posted[0], keys);
    EXPECT_EQ(LastJump(), "<none>");

    EXPECT_EQ(ProcessCommandLine("proj/x:y"), 0) << "a rest can make a path a command too";
    ASSERT_EQ(sim_->posted.size(), 2u);
    EXPECT_EQ(sim_->posted[1].size(), std::string("D:\\work\\proj\\x:y").size() + 1);
}

// A name the command line could not reach again: one holding a separator, or beginning with a
// command character, also behind a plugin command's colon.
TEST_F(CommandLineTest, AddsStoreTheActivePanelsDirectoryWholeAndRefuseNamesNoJumpReaches) {
    EXPECT_EQ(ProcessCommandLine("+tmp"), 0);
    EXPECT_EQ(ProcessCommandLine(":perm"), 0);
    EXPECT_EQ(ProcessCommandLine("+a/b"), ErrNameWithSeparator);
    EXPECT_EQ(ProcessCommandLine(":c\\d"), ErrNameWithSeparator);
    for (const char* typed : {"::x", ":+y", "+-z", ":ftp:-z"}) {
        EXPECT_EQ(ProcessCommandLine(typed), ErrNameBeginsWithCommand) << typed;
    }
    EXPECT_EQ(ProcessCommandLine(":x-+"), 0);
    // Two names the host could not hand over ("???" for three letters it lacks) would be one.
    EXPECT_EQ(ProcessCommandLine(":???"), ErrNameWithWildcard);
    EXPECT_EQ(ProcessCommandLine("+p*"), ErrNameWithWildcard);
    EXPECT_EQ(ProcessCommandLine(": blank "), 0);
    EXPECT_EQ(StoredText("\\TempKeys", "tmp"), "D:\\here");
    EXPECT_EQ(StoredText("\\Keys", "perm"), "D:\\here");
    EXPECT_EQ(StoredNames("\\TempKeys"), std::vector<std::string>{"tmp"});
    std::vector<std::string> keys = StoredNames("\\Keys");
    std::sort(keys.begin(), keys.end());  // Windows lists them sorted
    EXPECT_EQ(keys, (std::vector<std::string>{" blank ", "perm", "proj", "x-+"}));
    EXPECT_EQ(StoredText("\\Keys", " blank "), "D:\\here") << "nothing is trimmed";
    EXPECT_EQ(ProcessCommandLine(":ftp:site"), 0);
    EXPECT_EQ(StoredText("\\Keys", "site"), "ftpD:\\here");
    EXPECT_EQ(ProcessCommandLine(":ftp://srv:web"), 0) << "the stored name is what is judged";
    EXPECT_EQ(StoredText("\\Keys", "web"), "ftp://srvD:\\here");
}

TEST_F(CommandLineTest, AddWithoutNameOrPanelStoresNothing) {
    EXPECT_EQ(ProcessCommandLine("+"), ErrEmptyName);
    EXPECT_EQ(ProcessCommandLine(":"), ErrEmptyName);
    // A directory that fills the host's field may have been cut to it.
    const size_t field = sizeof(PanelInfo::CurDir) - 1;
    sim_->Active().curDir = "D:\\" + std::string(field + 30, 'd');
    EXPECT_EQ(ProcessCommandLine(":longp"), ErrDirectoryTooLong);
    sim_->Active().curDir.resize(field - 1);
    EXPECT_EQ(ProcessCommandLine(":whole"), 0);
    EXPECT_EQ(StoredText("\\Keys", "whole"), sim_->Active().curDir);
    // No Windows folder's name holds '?': the host put it for a letter it could not hand over.
    sim_->Active().curDir = "D:\\u\\??????";
    EXPECT_EQ(ProcessCommandLine(":cyrillic"), ErrDirectoryNotWhole);
    sim_->Active().refuseInfo = true;
    EXPECT_EQ(ProcessCommandLine(":"), ErrEmptyName) << "said as such also without a panel";
    EXPECT_EQ(ProcessCommandLine(":lost"), ErrUnexpected);
    EXPECT_EQ(StoredNames("\\Keys"), (std::vector<std::string>{"proj", "whole"}));
    EXPECT_TRUE(StoredNames("\\TempKeys").empty());
}

#ifdef _WIN32
// The host keeps the process in the active panel's directory; the system's record of it tells
// a directory the host handed over whole from one it cut or wrote with look-alike letters.
TEST_F(CommandLineTest, AddTellsTheDirectoryTheProcessIsInFromACutOrALookAlikeOfIt) {
    // As the host hands a text over: a look-alike letter where the page has one, else '?'.
    auto inOemPage = [](const std::wstring& text) {
        char out[1024] = {};
        WideCharToMultiByte(CP_OEMCP, 0, text.c_str(), -1, out, sizeof out, nullptr, nullptr);
        return std::string(out);
    };
    wchar_t temp[MAX_PATH];
    ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
    wchar_t before[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, before);
    const std::wstring base = std::wstring(temp) + L"velmora-cwd";
    const size_t field = sizeof(PanelInfo::CurDir) - 1;
    const std::wstring full = base + L"\\" + std::wstring(field - base.size() - 1, L'f');
    const std::wstring longer = full + L"\\x";
    const std::wstring alike = base + L"\\\u0100rlis";
    for (const std::wstring& dir : {base, full, longer, alike}) {
        CreateDirectoryW(dir.c_str(), nullptr);
    }
    ASSERT_TRUE(SetCurrentDirectoryW(full.c_str()));
    sim_->Active().curDir = inOemPage(full);
    EXPECT_EQ(ProcessCommandLine(":full"), 0) << "a legal folder that fills the field";
    ASSERT_TRUE(SetCurrentDirectoryW(longer.c_str()));
    EXPECT_EQ(ProcessCommandLine(":cut"), ErrDirectoryTooLong) << "the same text, cut";
    ASSERT_TRUE(SetCurrentDirectoryW(alike.c_str()));
    sim_->Active().curDir = inOemPage(alike);
    // The OEM pages write the letter A with a macron as a plain A.
    EXPECT_EQ(sim_->Active().curDir, inOemPage(base) + "\\Arlis");
    EXPECT_EQ(ProcessCommandLine(":alike"), ErrDirectoryNotWhole) << sim_->Active().curDir;
    SetCurrentDirectoryW(before);
    for (const std::wstring& dir : {alike, longer, full, base}) {
        RemoveDirectoryW(dir.c_str());
    }
    EXPECT_EQ(StoredNames("\\Keys"), InEnumerationOrder({"proj", "full"}));
}
#endif

TEST_F(CommandLineTest, DeleteReturnsItsCodeAndRecordsTheNameItMissed) {
    Settings.ShowErrors = 1;
    LastUnknownName.Assign("earlier");
    EXPECT_EQ(ProcessCommandLine("-proj"), 0);
    EXPECT_EQ(StoredText("\\Keys", "proj"), "<missing>");
    EXPECT_STREQ(LastUnknownName.Text(), "earlier");
    EXPECT_EQ(ProcessCommandLine("-proj"), ErrNotFound);
    EXPECT_STREQ(LastUnknownName.Text(), "proj") << "the report names what was typed";
    EXPECT_EQ(ProcessCommandLine("-"), ErrNoNameToDelete);
}

TEST_F(CommandLineTest, MissRecordsWholeTextOnlyWhileShowErrorsIsOn) {
    Settings.AutoComplite = 0;
    EXPECT_EQ(ProcessCommandLine("zz/sub"), ErrNotFound);
    EXPECT_STREQ(LastUnknownName.Text(), "");
    Settings.ShowErrors = 1;
    EXPECT_EQ(ProcessCommandLine("zz/sub"), ErrNotFound);
    EXPECT_STREQ(LastUnknownName.Text(), "zz/sub");
    EXPECT_EQ(ProcessCommandLine("+xy"), 0);
    EXPECT_STREQ(LastUnknownName.Text(), "zz/sub");
}

TEST_F(CommandLineTest, JumpToADirectoryThatIsGoneIsSaidWhileShowErrorsIsOn) {
    sim_->farVersion = MakeHostVersion(3, 0);
    CopyHostServices(sim_->StartupInfo());
    sim_->missingDirs = {"D:\\work\\proj\\gone"};
    EXPECT_EQ(ProcessCommandLine("proj/gone"), 0);
    EXPECT_TRUE(sim_->messages.empty());
    Settings.ShowErrors = 1;
    EXPECT_EQ(ProcessCommandLine("proj/gone"), 0);
    EXPECT_EQ(ProcessCommandLine("proj"), 0);
    ASSERT_EQ(sim_->messages.size(), 1u);
    EXPECT_EQ(
        sim_->messages[0].lines,
        (std::vector<std::string>{Msg(MErrorTitle), Msg(MNoDirectory), "D:\\work\\proj\\gone"}));
}

// The commands as the module's own operations, which a program calls without the host's
// command line: each says what it did and why it did not.
TEST_F(CommandLineTest, AnAddSaysWhatItReplacedAndWhyItStoredNothing) {
    CommandResult result;
    AddNameCommand("ftp:proj", "D:\\new", true, result);
    EXPECT_EQ(result.reason, CommandReason::kDone);
    EXPECT_STREQ(result.name.Text(), "proj");
    EXPECT_STREQ(result.target.Text(), "ftpD:\\new");
    EXPECT_TRUE(result.replaced);
    EXPECT_STREQ(result.was.Text(), "D:\\work\\proj");
    AddNameCommand("fresh", "D:\\new", false, result);
    EXPECT_EQ(result.reason, CommandReason::kDone);
    EXPECT_FALSE(result.replaced);
    const struct {
        const char* name;
        const char* directory;
        CommandReason reason;
    } refused[] = {
        {"", "D:\\x", CommandReason::kNoNameToAdd},
        {"ftp:", "D:\\x", CommandReason::kNoNameBehindColon},
        {"a/b", nullptr, CommandReason::kNameWithSeparator},
        {"x", nullptr, CommandReason::kUnexpected},
        {"x", "", CommandReason::kNoDirectory},
    };
    for (const auto& r : refused) {
        AddNameCommand(r.name, r.directory, true, result);
        EXPECT_EQ(result.reason, r.reason) << r.name;
    }
    // The registry refuses a longer name: said as such, and to the host as the write it refuses.
    std::string longest(kLongestValueName + 1, 'n');
    AddNameCommand(longest.c_str(), "D:\\x", true, result);
    EXPECT_EQ(result.reason, CommandReason::kNameTooLong);
    EXPECT_EQ(ProcessCommandLine((":" + longest).c_str()), ErrRegistry);
    EXPECT_EQ(StoredNames("\\Keys"), (std::vector<std::string>{"proj"}));
}

TEST_F(CommandLineTest, AnAddOrADeleteTheStoreRefusesSaysWhetherTheNameIsStillThere) {
    REQUIRE_HOOKS();
    LockPersistentStore();
    CommandResult result;
    AddNameCommand("new", "D:\\x", true, result);
    EXPECT_EQ(result.reason, CommandReason::kStoreFailed);
    DeleteNameCommand("proj", result);
    EXPECT_EQ(result.reason, CommandReason::kStillStored);
    EXPECT_EQ(ProcessCommandLine("-proj"), ErrRegistry);
    UnlockPersistentStore();
    DeleteNameCommand("nosuch", result);
    EXPECT_EQ(result.reason, CommandReason::kNotStored);
}

// A program without the host asks the store whether a completion may offer a name; the host's
// match and menu are never called, and a jump only they can take further says so.
TEST_F(CommandLineTest, AJumpResolvedWithoutTheHostLeavesToItOnlyWhatItsMatchDecides) {
    Settings.AutoComplite = 1;
    WriteStored("\\Filters", "do", REG_SZ, std::string("*do*") + '\0');
    static int asked = 0;
    static LONG answer = ERROR_FILE_NOT_FOUND;
    NameProbe probe = [](const char*) {
        ++asked;
        return answer;
    };
    CommandResult result;
    ResolveJump("proj/src", probe, result);
    EXPECT_EQ(result.reason, CommandReason::kDone);
    EXPECT_STREQ(result.target.Text(), "D:\\work\\proj\\src");
    ResolveJump("pr", probe, result);
    EXPECT_EQ(result.reason, CommandReason::kNotStored);
    ResolveJump("do", probe, result);
    EXPECT_EQ(result.reason, CommandReason::kFilter);
    EXPECT_STREQ(result.target.Text(), "*do*");
    EXPECT_EQ(asked, 2);
    answer = ERROR_SUCCESS;
    ResolveJump("pr", probe, result);
    EXPECT_EQ(result.reason, CommandReason::kAsksHost);
    ResolveJump("p*", probe, result);
    EXPECT_EQ(result.reason, CommandReason::kAsksHost);
    EXPECT_EQ(asked, 3) << "a wildcard is the host's to match";
    EXPECT_TRUE(sim_->menus.empty());
    EXPECT_TRUE(sim_->controls.empty());
}

TEST_F(CommandLineTest, SplitNameTellsMissingRestFromEmptyRest) {
    TextBuffer name, rest;
    SplitName("proj", name, rest);
    EXPECT_STREQ(name.Text(), "proj");
    EXPECT_EQ(rest.capacity, 0u);
    SplitName("proj/", name, rest);
    EXPECT_STREQ(name.Text(), "proj");
    EXPECT_GE(rest.capacity, 1u);
    EXPECT_STREQ(rest.Text(), "");
    SplitName("/x\\y", name, rest);
    EXPECT_STREQ(name.Text(), "");
    EXPECT_STREQ(rest.Text(), "x\\y");
}

TEST_F(CommandLineTest, UnopenableSectionsGiveTheRegistryCode) {
    REQUIRE_HOOKS();
    FailKeyOpen(ModuleKeyPath("\\Keys").c_str());
    EXPECT_EQ(ProcessCommandLine(":perm"), ErrRegistry);
    EXPECT_EQ(ProcessCommandLine("-proj"), ErrRegistry);
    Settings.AutoComplite = 0;
    EXPECT_EQ(ProcessCommandLine("proj"), ErrNotFound) << "a lookup counts failures as misses";
}

TEST_F(CommandLineTest, RefusedHeapAnywhereInAJumpLeaksNothingAndReportsTheCode) {
    REQUIRE_HOOKS();
    Settings.ShowErrors = 1;
    for (unsigned n = 1;; ++n) {
        sim_->controls.clear();
        unsigned before = HeapRequests();
        FailHeapRequest(n);
        int code = ProcessCommandLine("proj/src");
        FailHeapRequest(0);
        if (HeapRequests() - before < n) {
            EXPECT_EQ(code, 0);
            EXPECT_EQ(LastJump(), "D:\\work\\proj\\src");
            break;
        }
        // A lookup that cannot read counts as a miss, in the temporary names only as one there;
        // anything else is the memory code. Whatever is reported, no half jump is made.
        if (code == 0) {
            EXPECT_EQ(LastJump(), "D:\\work\\proj\\src") << "request " << n;
        } else {
            EXPECT_TRUE(code == ErrNoMemory || code == ErrNotFound) << n << ": " << code;
            EXPECT_EQ(LastJump(), "<none>") << "request " << n;
        }
        ASSERT_LT(n, 50u);
    }
}

}  // namespace
