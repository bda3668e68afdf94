// The velmora program's own commands over a real store in a temporary folder: the round trip
// of export and import, the foreign bookmark files, the names listing and the judging of gone
// directories.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <clocale>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "dead_names.h"
#include "store_sections.h"
#include "exit_status.h"
#include "foreign_bookmarks.h"
#include "name_listing.h"
#include "name_table.h"
#include "screen_text.h"
#include "store_fault.h"
#include "store_faults.h"
#include "test_hooks.h"
#include "transfer.h"
#include "transfer_input.h"

// Found by the comparisons of gtest and std::vector, which look in StoreValue's namespace.
bool operator==(const StoreValue& a, const StoreValue& b) {
    return a.name == b.name && a.type == b.type && a.data == b.data;
}

namespace {

bool WriteText(StoreSection section, const std::string& name, const std::string& text) {
    return WriteValue(section, {name, REG_SZ, text + '\0'});
}

// A text to read as a stream, for as long as the full expression that makes it.
class TextInput {
  public:
    explicit TextInput(std::string text)
        : text_(std::move(text)), in_(fmemopen(&text_[0], text_.size(), "r")) {}
    ~TextInput() { std::fclose(in_); }
    operator std::FILE*() const { return in_; }

  private:
    std::string text_;
    std::FILE* in_;
};

bool IsGone(const std::string& target) {
    return JudgeTarget(target) == TargetState::kGone;
}

class StoreCommandsTest : public testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/velmora-cli-store-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        UseStore("a");
        VelmoraClearStoreFaults();
    }
    void TearDown() override {
        for (int store : {kVelmoraPersistentStore, kVelmoraVolatileStore}) {
            VelmoraFailStore(store, kStoreFaultNone);
            VelmoraFailStoreWrites(store, kStoreFaultNone);
        }
        std::filesystem::remove_all(folder_);
    }

    // Points the registry at store `label` in the test's folder.
    void UseStore(const std::string& label) {
        setenv("VELMORA_REGISTRY_DIR", (folder_ + "/" + label + "/registry").c_str(), 1);
        setenv("VELMORA_VOLATILE_DIR", (folder_ + "/" + label + "/volatile").c_str(), 1);
    }

    static std::vector<StoreValue> Values(StoreSection section) {
        std::vector<StoreValue> values;
        EXPECT_TRUE(VisitSection(section, [&](const StoreValue& value) {
            values.push_back(value);
            return true;
        }));
        return values;
    }

    static void WriteFile(const std::string& path, const std::string& content) {
        std::ofstream(path, std::ios::binary) << content;
    }
    static std::string ReadFile(const std::string& path) {
        std::ostringstream content;
        content << std::ifstream(path, std::ios::binary).rdbuf();
        return content.str();
    }

    // What a FILE* stream received.
    template <class Write>
    static std::string Written(Write write) {
        char* text = nullptr;
        size_t size = 0;
        std::FILE* out = open_memstream(&text, &size);
        write(out);
        std::fclose(out);
        std::string written(text, size);
        std::free(text);
        return written;
    }

    std::string folder_;
};

// Names and paths made of every byte a store can hold, in every position: each byte from 1 to
// 255 begins, ends and stands inside a filter's name and a path, and inside a name where a jump
// can reach it; and a name and a path longer than the host's 260-byte fields.
TEST_F(StoreCommandsTest, ExportAndImportGiveBackEveryByteOfEveryNameAndPath) {
    std::vector<std::string> texts;
    for (int byte = 1; byte < 256; ++byte) {
        char index[8];
        std::snprintf(index, sizeof index, "%03d", byte);
        std::string b(1, static_cast<char>(byte));
        texts.push_back(b + index + b + "." + b);
    }
    texts.push_back(std::string(300, 'n') + "\t\n\\x41");
    const StoreSection sections[] = {StoreSection::kKeys, StoreSection::kTempKeys,
                                     StoreSection::kFilters};
    for (size_t i = 0; i < texts.size(); ++i) {
        std::string path = "/p/" + texts[(i * 7 + 3) % texts.size()] + "/" + texts[i];
        // A name only the panel reaches would be skipped; it travels as a filter's name.
        bool reached = texts[i].find_first_of("/\\") == std::string::npos &&
                       std::string("+:-").find(texts[i][0]) == std::string::npos;
        ASSERT_TRUE(WriteText(reached ? sections[i % 3] : StoreSection::kFilters, texts[i], path));
    }
    ASSERT_TRUE(WriteText(StoreSection::kRoot, "Prefix", "j@k.%+,-:"));
    StoreValue number{"ShowErrors", REG_DWORD, std::string("\x01\x00\x00\x80", 4)};
    ASSERT_TRUE(WriteValue(StoreSection::kRoot, number));

    std::string exported = Written([](std::FILE* out) { EXPECT_TRUE(ExportStore(out)); });
    std::vector<ExchangeEntry> entries;
    std::vector<BookmarkProblem> problems;
    std::vector<BookmarkProblem> skipped;
    ASSERT_TRUE(ParseExport(TextInput(exported), &entries, &problems, &skipped));
    EXPECT_TRUE(problems.empty());
    EXPECT_TRUE(skipped.empty());
    UseStore("b");
    ImportCounts counts;
    ASSERT_TRUE(ImportEntries(entries, false, &counts));
    EXPECT_EQ(counts.added, texts.size() + 2);

    for (StoreSection section : sections) {
        std::vector<StoreValue> imported = Values(section);
        UseStore("a");
        EXPECT_EQ(imported, Values(section));
        UseStore("b");
    }
    StoreValue prefix;
    ASSERT_EQ(ReadValue(StoreSection::kRoot, "Prefix", &prefix), StoreResult::kDone);
    EXPECT_EQ(prefix.Text(), "j@k.%+,-:");
    StoreValue showErrors;
    ASSERT_EQ(ReadValue(StoreSection::kRoot, "ShowErrors", &showErrors), StoreResult::kDone);
    EXPECT_EQ(showErrors, number);
}

TEST_F(StoreCommandsTest, ImportKeepsStoredNamesUnlessToldToReplaceThem) {
    ASSERT_TRUE(WriteText(StoreSection::kKeys, "proj", "/old"));
    ASSERT_TRUE(WriteText(StoreSection::kKeys, "same", "/same"));
    std::vector<ExchangeEntry> entries;
    std::vector<BookmarkProblem> problems;
    ASSERT_TRUE(ParseExport(TextInput("velmora export 1\nname\tproj\t/new\nname\tsame\t/same\n"
                                      "temporary\tproj\t/tmp\n"),
                            &entries, &problems, &problems));

    ImportCounts kept;
    ASSERT_TRUE(ImportEntries(entries, false, &kept));
    StoreValue value;
    ASSERT_EQ(ReadValue(StoreSection::kKeys, "proj", &value), StoreResult::kDone);
    EXPECT_EQ(value.Text(), "/old");
    EXPECT_EQ(kept.added, 1u);
    EXPECT_EQ(kept.kept, 2u);
    // Each name kept or replaced is said with both directories; one kept as it is, not at all.
    EXPECT_EQ(kept.notices, std::vector<std::string>{"proj stays /old, not the file's /new"});

    ImportCounts replaced;
    ASSERT_TRUE(ImportEntries(entries, true, &replaced));
    ASSERT_EQ(ReadValue(StoreSection::kKeys, "proj", &value), StoreResult::kDone);
    EXPECT_EQ(value.Text(), "/new");
    EXPECT_EQ(replaced.replaced, 1u);
    EXPECT_EQ(replaced.kept, 2u);
    ASSERT_FALSE(replaced.notices.empty());
    EXPECT_EQ(replaced.notices.front(), "proj now /new (was /old)");
}

// A store made anew (by a shell's start, after a damaged one was moved aside) holds the defaults
// of its settings: an import of the user's export gives it the settings chosen there, and keeps
// one the user has changed since.
TEST_F(StoreCommandsTest, AnImportReplacesTheSettingsNobodyChoseAndKeepsTheOthers) {
    auto number = [](const char* name, DWORD value) {
        return StoreValue{name, REG_DWORD, std::string(reinterpret_cast<char*>(&value), 4)};
    };
    ASSERT_TRUE(WriteText(StoreSection::kRoot, "Prefix", "cd:"));
    ASSERT_TRUE(WriteValue(StoreSection::kRoot, number("ShowErrors", 0)));
    ASSERT_TRUE(WriteValue(StoreSection::kRoot, number("AutoComplite", 0)));
    std::vector<ExchangeEntry> entries;
    std::vector<BookmarkProblem> problems;
    ASSERT_TRUE(ParseExport(TextInput("velmora export 1\nsetting\tPrefix\ttext\tj:\n"
                                      "setting\tShowErrors\tnumber\t1\n"
                                      "setting\tAutoComplite\tnumber\t1\n"),
                            &entries, &problems, &problems));
    ImportCounts counts;
    ASSERT_TRUE(ImportEntries(entries, false, &counts));
    EXPECT_EQ(counts.replaced, 2u);
    EXPECT_EQ(counts.kept, 1u);
    EXPECT_EQ(Values(StoreSection::kRoot),
              (std::vector<StoreValue>{{"Prefix", REG_SZ, std::string("j:\0", 3)},
                                       number("ShowErrors", 1),
                                       number("AutoComplite", 0)}));
    EXPECT_EQ(
        counts.notices,
        (std::vector<std::string>{
            "the setting 'Prefix' (cd:) held its default, which nobody chose: it now holds j:",
            "the setting 'ShowErrors' (0) held its default, which nobody chose: it now "
            "holds 1",
            "the setting AutoComplite stays 0, not the file's 1"}));
}

// Two bookmarks the store takes for one name, and a permanent name written while a temporary
// one of that name goes before it.
TEST_F(StoreCommandsTest, AnImportSaysOnItsOwnLineWhatItsCountsHide) {
    ASSERT_TRUE(WriteText(StoreSection::kTempKeys, "proj", "/tmp"));
    std::vector<Bookmark> bookmarks;
    std::vector<BookmarkProblem> problems;
    ASSERT_TRUE(ParseBookmarks(BookmarkFormat::kBashmarks,
                               TextInput("export DIR_Proj=\"/a\"\nexport DIR_proj=\"/b\"\n"), "/h",
                               &bookmarks, &problems));
    std::vector<ExchangeEntry> entries;
    for (const Bookmark& bookmark : bookmarks) {
        entries.push_back(BookmarkEntry(bookmark));
    }
    ImportCounts counts;
    ASSERT_TRUE(ImportEntries(entries, false, &counts));
    EXPECT_EQ(counts.added + counts.kept, 2u);
    EXPECT_EQ(counts.notices,
              (std::vector<std::string>{
                  "'Proj' (/a) and 'proj' (/b) are one name, as letter case does not count in "
                  "names: the second is left out",
                  "the temporary name 'proj' (/tmp) goes before the permanent 'Proj' (/a) in every "
                  "jump, until it is deleted or you log off"}));
    ImportCounts replaced;
    ASSERT_TRUE(ImportEntries(entries, true, &replaced));
    ASSERT_EQ(replaced.notices.size(), 2u);
    EXPECT_NE(replaced.notices[0].find(": the name now stands for /b"), std::string::npos);
    EXPECT_NE(replaced.notices[1].find("'proj' (/b) in every jump"), std::string::npos);
}

TEST_F(StoreCommandsTest, AnImportThatFailsOnTheWayStoresNothing) {
    std::vector<ExchangeEntry> entries;
    std::vector<BookmarkProblem> problems;
    ASSERT_TRUE(
        ParseExport(TextInput("velmora export 1\nname\ta\t/a\nname\tb\t/b\ntemporary\tt\t/t\n"),
                    &entries, &problems, &problems));
    ASSERT_TRUE(WriteText(StoreSection::kKeys, "old", "/old"));
    VelmoraFailStore(kVelmoraVolatileStore, kStoreFaultFull);

    ImportCounts counts;
    EXPECT_FALSE(ImportEntries(entries, false, &counts));
    VelmoraFailStore(kVelmoraVolatileStore, kStoreFaultNone);
    ASSERT_EQ(Values(StoreSection::kKeys).size(), 1u);
}

TEST_F(StoreCommandsTest, AnImportReadsAFileThatBeginsWithAByteOrderMark) {
    std::vector<ExchangeEntry> entries;
    std::vector<BookmarkProblem> problems;
    ASSERT_TRUE(ParseExport(TextInput("\xEF\xBB\xBFvelmora export 1\r\nname\tok\t/ok\r\n"),
                            &entries, &problems, &problems));
    EXPECT_TRUE(problems.empty());
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].value.name, "ok");
}

TEST_F(StoreCommandsTest, AnExportWithALineThatCannotBeReadIsReportedByLineNumber) {
    std::vector<ExchangeEntry> entries;
    std::vector<BookmarkProblem> problems;
    std::vector<BookmarkProblem> skipped;
    EXPECT_FALSE(ParseExport(TextInput("proj:/home/proj\n"), &entries, &problems, &skipped));
    ASSERT_TRUE(
        ParseExport(TextInput("velmora export 1\n# made by hand\nname\tok\t/ok\nname\tbad\\q\t/x\n"
                              "setting\tShowErrors\tnumber\t4294967296\nname\tshort\n"),
                    &entries, &problems, &skipped));
    ASSERT_EQ(problems.size(), 3u);
    EXPECT_EQ(problems[0].line, 4u);
    EXPECT_EQ(problems[1].line, 5u);
    EXPECT_EQ(problems[2].line, 6u);
    // A last line without its line end is a file cut short; no text holds a zero byte.
    for (const std::string& last :
         {std::string("name\tcut\t/cut"), std::string("name\tz\t/a\0b\n", 12)}) {
        problems.clear();
        ASSERT_TRUE(ParseExport(TextInput("velmora export 1\nname\tok\t/ok\n" + last), &entries,
                                &problems, &skipped));
        ASSERT_EQ(problems.size(), 1u);
        EXPECT_EQ(problems[0].line, 3u);
    }
}

// What an export may hold from older versions or the file manager's dialogs but the store
// cannot hold or must not take is said by its line and skipped; the rest is stored, and the
// exit status says that not everything was.
TEST_F(StoreCommandsTest, AnImportSkipsEntriesTheStoreCannotTakeAndStoresTheRest) {
    std::string file = folder_ + "/names\x1b";
    WriteFile(file, "velmora export 1\nname\tok\t/ok\nname\t" + std::string(16384, 'n') +
                        "\t/long\nname\t\t/nameless\nname\trel\tsrc\ntemporary\thome\t~/src\n"
                        "name\tnone\t\nname\tzero\t/a\\x00b\nname\tftp\tftp:server\n"
                        "setting\tPrefix\tnumber\t1\nsetting\tShowErrors\ttext\tyes\n"
                        "setting\tprefix\ttext\t1cd\nfilter\tsrc\t*src*\nname\ta/b\t/tmp\n"
                        "name\tc\\\\d\t/usr\nname\t:x\t/var\ntemporary\t+y\t/etc\nname\t-z\t/opt\n"
                        "filter\tf/g\t*\nname\tx-\t/x\nsetting\tPrefix\ttext\tcd\n");
    TransferOptions options;
    options.file = file;
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunImport(options), kExitFailed);
    std::string said = testing::internal::GetCapturedStderr();
    for (int line : {3, 4, 5, 6, 7, 8, 10, 11, 12, 14, 15, 16, 17, 18, 21}) {
        EXPECT_NE(said.find(folder_ + "/names\\x1b:" + std::to_string(line) + ":"),
                  std::string::npos)
            << line;
    }
    // Names as an add refuses them, which no jump would reach; a filter is reached whole.
    EXPECT_NE(said.find(":14: a name holding / or \\"), std::string::npos) << said;
    EXPECT_NE(said.find(":16: a name beginning with +, : or -"), std::string::npos) << said;
    // A prefix is refused as the settings dialog refuses it.
    EXPECT_NE(said.find(":21: the prefix cd is a command of the shell itself"), std::string::npos)
        << said;
    EXPECT_EQ(Written([](std::FILE* out) { EXPECT_TRUE(WriteNames(out)); }),
              "src\nf/g\nok\nftp\nx-\n");
    EXPECT_TRUE(Values(StoreSection::kRoot).empty());
}

// A device of zeros or an endless pipe is refused, with a message, after its first block; an
// endless line at once, and endless lines that are comments or entries where an import stops.
TEST_F(StoreCommandsTest, AnImportOfEndlessInputEndsAtOnce) {
    const std::string header = "echo 'velmora export 1'; ";
    const std::string endless[] = {
        "yes",
        header + "tr '\\0' x </dev/zero",
        header + "yes '#'",
        header + "yes 'name\tn\t/" + std::string(4000, 'p') + "'",
    };
    TransferOptions options;
    for (bool foreign : {false, true}) {
        options.foreign = foreign;
        options.file = "/dev/zero";
        testing::internal::CaptureStderr();
        EXPECT_EQ(RunImport(options), kExitFailed);
        EXPECT_NE(testing::internal::GetCapturedStderr(), "");
        for (const std::string& command : endless) {
            std::FILE* input = popen(command.c_str(), "r");
            ASSERT_NE(input, nullptr);
            options.file = "/proc/self/fd/" + std::to_string(fileno(input));
            testing::internal::CaptureStderr();
            EXPECT_EQ(RunImport(options), kExitFailed) << command;
            EXPECT_NE(testing::internal::GetCapturedStderr(), "") << command;
            pclose(input);
        }
    }
    EXPECT_TRUE(Values(StoreSection::kKeys).empty());
}

// A store that cannot be read or a disk that is full leaves the previous export as it was, and
// nothing of the new one beside it.
TEST_F(StoreCommandsTest, AnExportThatFailsLeavesThePreviousFileAsItWas) {
    ASSERT_TRUE(WriteText(StoreSection::kKeys, "proj", "/" + std::string(8192, 'p')));
    std::string backups = folder_ + "/backups", file = backups + "/names";
    ASSERT_EQ(mkdir(backups.c_str(), 0700), 0);
    WriteFile(file, "velmora export 1\nname\told\t/old\n");
    TransferOptions options;
    options.file = file;
    VelmoraFailStore(kVelmoraPersistentStore, kStoreFaultDamaged);
    EXPECT_EQ(RunExport(options), kExitStoreFailed);
    VelmoraFailStore(kVelmoraPersistentStore, kStoreFaultNone);

    Values(StoreSection::kKeys);
    rlimit saved, full;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    full = {100, saved.rlim_max};
    auto handler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &full), 0);
    int status = RunExport(options);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, handler);
    EXPECT_EQ(status, kExitFailed);

    EXPECT_EQ(ReadFile(file), "velmora export 1\nname\told\t/old\n");
    auto files = std::filesystem::directory_iterator(backups);
    EXPECT_EQ(std::distance(begin(files), end(files)), 1);
}

// What is wrong with the file an import or an export was given is said of that file: two files
// for one, a folder for a file, a file whose folder takes no new one (where the system's word
// for the new file alone would deny that the file is there).
TEST_F(StoreCommandsTest, AnImportOrAnExportSaysWhatIsWrongWithTheFileItWasGiven) {
    for (bool import : {true, false}) {
        TransferOptions options;
        std::string problem;
        EXPECT_FALSE(ParseTransferOptions(import, {"a", "b"}, &options, &problem));
        EXPECT_NE(problem.find(", not 'a' and 'b'"), std::string::npos) << problem;
    }
    auto said = [](const std::string& file, bool import, bool foreign) {
        TransferOptions options;
        options.file = file;
        options.foreign = foreign;
        testing::internal::CaptureStderr();
        EXPECT_EQ(import ? RunImport(options) : RunExport(options), kExitFailed) << file;
        return testing::internal::GetCapturedStderr();
    };
    for (bool foreign : {false, true}) {
        EXPECT_EQ(said(folder_, true, foreign),
                  "velmora: " + folder_ + " is a folder, not a file; name the file to import\n");
    }
    EXPECT_EQ(said(folder_, false, false)
                  .rfind("velmora: cannot write " + folder_ +
                             ": it is a folder; name a file to export to",
                         0),
              0u);
    EXPECT_EQ(said("/proc/version", false, false)
                  .rfind("velmora: cannot write /proc/version: an export is written as a new file "
                         "in /proc before it takes the file's place, and none can be made there",
                         0),
              0u);
    EXPECT_TRUE(Values(StoreSection::kKeys).empty());
}

// A store can hold more than an import reads back: the export is written, and says so.
TEST_F(StoreCommandsTest, AnExportThatImportWouldNotTakeBackSaysSo) {
    ASSERT_TRUE(WriteText(StoreSection::kKeys, "huge", "/" + std::string(kMaxImportLine, 'p')));
    TransferOptions options;
    options.file = folder_ + "/names";
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunExport(options), kExitFailed);
    EXPECT_NE(testing::internal::GetCapturedStderr().find(
                  options.file + " holds a line of " + std::to_string(kMaxImportLine + 11) +
                  " bytes, longer than the " + std::to_string(kMaxImportLine) +
                  " that velmora import reads"),
              std::string::npos);
    EXPECT_EQ(ReadFile(options.file).size(), 17 + kMaxImportLine + 12);
}

// The export is a new file private to the user: the old one is neither written into nor are
// its permissions taken over.
TEST_F(StoreCommandsTest, AnExportTakesThePlaceOfThePreviousFileAsANewPrivateOne) {
    ASSERT_TRUE(WriteText(StoreSection::kKeys, "proj", "/p"));
    std::string file = folder_ + "/names", old = folder_ + "/old";
    WriteFile(file, "old\n");
    ASSERT_EQ(chmod(file.c_str(), 0644), 0);
    ASSERT_EQ(link(file.c_str(), old.c_str()), 0);
    TransferOptions options;
    options.file = file;
    EXPECT_EQ(RunExport(options), kExitDone);
    struct stat info;
    ASSERT_EQ(stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    EXPECT_EQ(ReadFile(file), "velmora export 1\nname\tproj\t/p\n");
    EXPECT_EQ(ReadFile(old), "old\n");
}

// An export stopped by an interrupt, a hang-up or a request to end leaves no file behind.
TEST_F(StoreCommandsTest, AnExportStoppedByASignalLeavesNoFileBehind) {
    std::vector<ExchangeEntry> entries;
    for (int i = 0; i < 30000; ++i) {
        entries.push_back({StoreSection::kKeys, {"n-" + std::to_string(i), REG_SZ, "/p\0"}});
    }
    ImportCounts counts;
    ASSERT_TRUE(ImportEntries(entries, false, &counts));
    std::string backups = folder_ + "/backups";
    ASSERT_EQ(mkdir(backups.c_str(), 0700), 0);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        int watch = inotify_init1(IN_CLOEXEC);
        ASSERT_GE(inotify_add_watch(watch, backups.c_str(), IN_CREATE), 0);
        pid_t program = fork();
        if (program == 0) {
            execl(VELMORA_PROGRAM, "velmora", "export", (backups + "/names").c_str(), nullptr);
            _exit(127);
        }
        char event[4096];
        EXPECT_GT(read(watch, event, sizeof event), 0) << "the export makes its file";
        kill(program, signal);
        int status = 0;
        waitpid(program, &status, 0);
        close(watch);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal;
        auto files = std::filesystem::directory_iterator(backups);
        EXPECT_EQ(std::distance(begin(files), end(files)), 0) << signal;
    }
}

// An export killed outright leaves its file; the next export into that folder removes it, but
// not one that another export still writes, nor a file that is not of an export's naming.
TEST_F(StoreCommandsTest, AnExportRemovesTheFileAKilledExportLeftBeside) {
    ASSERT_TRUE(WriteText(StoreSection::kKeys, "proj", "/p"));
    std::string backups = folder_ + "/backups";
    ASSERT_EQ(mkdir(backups.c_str(), 0700), 0);
    std::string killed = backups + "/.velmora-export-Ab12Cd";
    std::string running = backups + "/.velmora-export-Ef34Gh";
    std::string other = backups + "/.velmora-export-mine";
    const struct timespec before[2] = {{std::time(nullptr) - 60, 0}, {std::time(nullptr) - 60, 0}};
    for (const std::string& file : {killed, running, other}) {
        WriteFile(file, "velmora export 1\n");
        ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), before, 0), 0);
    }
    int held = open(running.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(flock(held, LOCK_EX), 0);
    TransferOptions options;
    options.file = backups + "/names";
    EXPECT_EQ(RunExport(options), kExitDone);
    close(held);
    EXPECT_FALSE(std::filesystem::exists(killed));
    EXPECT_TRUE(std::filesystem::exists(running));
    EXPECT_TRUE(std::filesystem::exists(other));
    EXPECT_EQ(ReadFile(options.file), "velmora export 1\nname\tproj\t/p\n");
}

TEST_F(StoreCommandsTest, WdBookmarksExpandTheHomeAndSkipMalformedLines) {
    std::vector<Bookmark> bookmarks;
    std::vector<BookmarkProblem> problems;
    ASSERT_TRUE(
        ParseBookmarks(BookmarkFormat::kWd,
                       TextInput("proj:~/src/proj\n\nno colon here\nweb:/var/www:8080\nrel:src\n"),
                       "/home/u", &bookmarks, &problems));
    ASSERT_EQ(bookmarks.size(), 2u);
    EXPECT_EQ(bookmarks[0].path, "/home/u/src/proj");
    EXPECT_EQ(bookmarks[1].name, "web");
    EXPECT_EQ(bookmarks[1].path, "/var/www:8080");
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0].line, 3u);
    EXPECT_EQ(problems[1].line, 5u);
}

TEST_F(StoreCommandsTest, BashmarksPathsAreReadWithoutAShell) {
    std::vector<Bookmark> bookmarks;
    std::vector<BookmarkProblem> problems;
    ASSERT_TRUE(ParseBookmarks(BookmarkFormat::kBashmarks,
                               TextInput("export DIR_proj=\"$HOME/src/a \\\"b\\\"\"\n"
                                         "export DIR_lit='/x/$y'\n"
                                         "export DIR_run=\"$(touch /tmp/x)\"\n"
                                         "export DIR_bad-name=\"/x\"\n"),
                               "/home/u", &bookmarks, &problems));
    ASSERT_EQ(bookmarks.size(), 2u);
    EXPECT_EQ(bookmarks[0].path, "/home/u/src/a \"b\"");
    EXPECT_EQ(bookmarks[1].path, "/x/$y");
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_EQ(problems[0].line, 3u);
}

TEST_F(StoreCommandsTest, AFileOfAnotherKindGivesNoBookmarks) {
    std::vector<Bookmark> bookmarks;
    std::vector<BookmarkProblem> problems;
    EXPECT_FALSE(ParseBookmarks(BookmarkFormat::kBashmarks, TextInput("proj:/home/proj\n"),
                                "/home/u", &bookmarks, &problems));
    EXPECT_FALSE(ParseBookmarks(BookmarkFormat::kWd, TextInput(std::string("a:/b\0c", 6)),
                                "/home/u", &bookmarks, &problems));
}

TEST_F(StoreCommandsTest, NamesAreListedWholeAndOnceFiltersFirst) {
    std::string longName(300, 'x');
    ASSERT_TRUE(WriteText(StoreSection::kKeys, longName, "/a"));
    ASSERT_TRUE(WriteText(StoreSection::kKeys, "Both", "/b"));
    ASSERT_TRUE(WriteText(StoreSection::kTempKeys, "both", "/t"));
    ASSERT_TRUE(WriteText(StoreSection::kTempKeys, "tmp", "/t"));
    ASSERT_TRUE(WriteText(StoreSection::kFilters, "tmp", "/t*"));
    ASSERT_TRUE(WriteText(StoreSection::kFilters, "pr", "/p*"));
    // A line end would split a name in two; a name without one stays byte for byte.
    ASSERT_TRUE(WriteText(StoreSection::kKeys, "two\nlines\x1b", "/l"));
    ASSERT_TRUE(WriteText(StoreSection::kKeys, "esc\x1b\\", "/e"));

    EXPECT_EQ(Written([](std::FILE* out) { EXPECT_TRUE(WriteNames(out)); }),
              "tmp\npr\n" + longName +
                  "\nBoth\ntwo\\x0alines\\x1b\nesc\x1b\\\n");  // Those that begin with a text are
                                                               // the same, once each, in the same
                                                               // order of sections.
    EXPECT_EQ(Written([](std::FILE* out) { EXPECT_TRUE(WriteNamesBeginningWith(out, "t")); }),
              "tmp\ntwo\\x0alines\\x1b\n");
    EXPECT_EQ(Written([](std::FILE* out) { EXPECT_TRUE(WriteNamesBeginningWith(out, "BO")); }),
              "Both\n");
}

// What fish shows beside a name is where a jump to it goes: a temporary name before the permanent
// one, a name before a filter of its name, the home folder as ~.
TEST_F(StoreCommandsTest, NamesAreListedWithWhereAJumpGoes) {
    const std::string home = std::getenv("HOME");
    ASSERT_TRUE(WriteText(StoreSection::kFilters, "docs", "*docs*"));
    ASSERT_TRUE(WriteText(StoreSection::kFilters, "Both", "*b*"));
    ASSERT_TRUE(WriteText(StoreSection::kKeys, "both", "/b"));
    ASSERT_TRUE(WriteText(StoreSection::kTempKeys, "BOTH", "/t"));
    ASSERT_TRUE(WriteText(StoreSection::kKeys, "mine", home + "/x"));
    ASSERT_TRUE(WriteText(StoreSection::kKeys, "tab\there", "/tab\t"));
    ASSERT_TRUE(WriteText(StoreSection::kTempKeys, "tmp", "/tmp"));
    auto listed = [](const std::string& prefix) {
        return Written([&](std::FILE* out) {
            EXPECT_TRUE(prefix.empty()
                            ? WriteNames(out, NameLines::kWithDirectories)
                            : WriteNamesBeginningWith(out, prefix, NameLines::kWithDirectories));
        });
    };
    EXPECT_EQ(listed(""),
              "docs\tfilter *docs*\nBoth\t/t\nmine\t~/x\ntab\\x09here\t/tab\\x09\ntmp\t/tmp\n");
    EXPECT_EQ(listed("b"), "Both\t/t\n");
    EXPECT_EQ(listed("m"), "mine\t~/x\n");
    // More names than a screen shows are written alone, as each directory costs a look-up.
    for (int i = 0; i < 1000; ++i) {
        ASSERT_TRUE(WriteText(StoreSection::kKeys, "many" + std::to_string(1000 + i), "/m"));
    }
    EXPECT_EQ(listed("many1999"), "many1999\t/m\n");
    EXPECT_NE(listed("").find("\nBoth\nmine\n"), std::string::npos);
}

// Behind a name and a separator, the folders of the directory a jump there reaches: what a shell
// completes the rest of a jump from.
TEST_F(StoreCommandsTest, ANameAndASeparatorListTheFoldersBelowItsDirectory) {
    const std::string proj = folder_ + "/proj";
    for (const char* folder : {"/src/main", "/spec", "/.git"}) {
        std::filesystem::create_directories(proj + folder);
    }
    WriteFile(proj + "/setup.py", "");
    std::filesystem::create_directory_symlink(proj + "/src", proj + "/linked");
    ASSERT_TRUE(WriteText(StoreSection::kKeys, "proj", proj));
    ASSERT_TRUE(WriteText(StoreSection::kTempKeys, "here", proj + "/src"));
    ASSERT_TRUE(WriteText(StoreSection::kKeys, "ftp", "ftp:server"));
    auto below = [](const std::string& typed) {
        return Written([&](std::FILE* out) { EXPECT_TRUE(WriteNamesBeginningWith(out, typed)); });
    };
    EXPECT_EQ(below("proj/"), "proj/linked/\nproj/spec/\nproj/src/\n");
    EXPECT_EQ(below("PROJ/s"), "PROJ/spec/\nPROJ/src/\n");
    EXPECT_EQ(below("proj/."), "proj/.git/\n");
    EXPECT_EQ(below("proj/src/m"), "proj/src/main/\n");
    EXPECT_EQ(below("here/"), "here/main/\n");
    EXPECT_EQ(below("ftp/"), "");
    EXPECT_EQ(below("nosuch/"), "");
}

// Two names alike up to the cut, a name of wide characters, and a note, at a narrow terminal, a
// wide one, and piped.
TEST_F(StoreCommandsTest, AListFitsEveryLineToTheTerminalAndMarksWhatItCuts) {
    ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
    const std::string here = folder_;
    std::vector<StoreEntry> entries = {
        {StoreSection::kKeys, "alpha-src-main-branch-1", here + "/one"},
        {StoreSection::kKeys, "alpha-src-main-branch-2", here + "/two"},
        {StoreSection::kTempKeys, "東京東京東京", here + "/three"},
    };
    for (const char* directory : {"/one", "/two", "/three"}) {
        std::filesystem::create_directory(here + directory);
    }
    auto lines = [&](int width) {
        std::istringstream written(
            Written([&](std::FILE* out) { WriteTable(entries, out, width, true); }));
        std::vector<std::string> result;
        for (std::string line; std::getline(written, line);) {
            result.push_back(line);
        }
        return result;
    };
    std::vector<std::string> narrow = lines(20);
    ASSERT_EQ(narrow.size(), 3u);
    for (const std::string& line : narrow) {
        EXPECT_LE(DisplayWidth(line, true), 20) << line;
        EXPECT_EQ(line.find(here), std::string::npos) << line;
    }
    EXPECT_EQ(narrow[0], "alpha-sr…");
    EXPECT_EQ(narrow[2], "東京東京…  temporary");
    // Wide enough, the names are whole and the directories stand in one column.
    std::vector<std::string> wide = lines(80);
    EXPECT_EQ(wide[1], "alpha-src-main-branch-2  " + here + "/two");
    EXPECT_EQ(DisplayWidth(wide[2].substr(0, wide[2].find(here)), true), 25) << wide[2];
    EXPECT_EQ(lines(0)[1], "alpha-src-main-branch-2\t" + here + "/two\t");
}

TEST_F(StoreCommandsTest, ABrokenVolatileStoreIsSaidAndLeavesThePermanentNames) {
    ASSERT_TRUE(WriteText(StoreSection::kKeys, "proj", "/p"));
    ASSERT_TRUE(WriteText(StoreSection::kTempKeys, "tmp", "/t"));
    VelmoraFailStore(kVelmoraVolatileStore, kStoreFaultDamaged);

    std::string names = Written([](std::FILE* out) { EXPECT_FALSE(WriteNames(out)); });
    EXPECT_EQ(names, "proj\n");
    std::vector<std::string> faults = StoreFaults();
    ASSERT_EQ(faults.size(), 1u);
    EXPECT_EQ(faults[0].rfind("your temporary names are in a damaged file (" + folder_ +
                                  "/a/volatile/hkcu.db); save what can still be read with `velmora "
                                  "export --salvage",
                              0),
              0u)
        << faults[0];
}

// A leaf page of the table, which holds the targets, and one of the index of the names' order
// overwritten, as a failing disk may: a walk stops at either, a salvage reads on past both.
TEST_F(StoreCommandsTest, ASalvageExportsEveryEntryStillReadableFromADamagedStore) {
    for (int i = 0; i < 600; ++i) {
        std::string name = "n-" + std::to_string(i);
        ASSERT_TRUE(
            WriteText(StoreSection::kKeys, name, "/to-" + name + "/" + std::string(60, 'p')));
    }
    ASSERT_TRUE(WriteText(StoreSection::kTempKeys, "tmp", "/t"));
    // Another store takes the connection's place: the old one moves its WAL into the file.
    UseStore("b");
    Values(StoreSection::kKeys);
    std::string file = folder_ + "/a/registry/hkcu.db";
    std::string bytes = ReadFile(file);
    auto page = [&](size_t at) { return bytes.substr(at / 4096 * 4096, 4096); };
    // Names far apart in both orders: no entry lies in both damaged pages.
    std::string table = page(bytes.find("/to-n-150/"));
    size_t index = 0;
    for (size_t at = bytes.find("n-550"); at != std::string::npos;
         at = bytes.find("n-550", at + 1)) {
        if (page(at)[0] == '\x0a' && page(at).find("/to-") == std::string::npos) {
            index = at / 4096 * 4096;
        }
    }
    ASSERT_NE(index, 0u);
    bytes[bytes.find(table)] = '\x77';  // no b-tree page has this type
    bytes[index] = '\x77';
    WriteFile(file, bytes);
    UseStore("a");
    TransferOptions options;
    std::string problem;
    ASSERT_TRUE(ParseTransferOptions(false, {"--salvage", folder_ + "/saved"}, &options, &problem))
        << problem;
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunExport(options), kExitStoreFailed);
    std::string said = testing::internal::GetCapturedStderr();
    // Each entry is saved with its target, or said: only those of the damaged table page, whose
    // names the index still holds.
    std::string saved = ReadFile(folder_ + "/saved");
    size_t lost = 0;
    for (int i = 0; i < 600; ++i) {
        std::string name = "n-" + std::to_string(i);
        bool found = saved.find("name\t" + name + "\t/to-" + name + "/") != std::string::npos;
        bool unreadable = said.find("'" + name + "' lies in a damaged part") != std::string::npos;
        EXPECT_NE(found, unreadable) << name;
        EXPECT_TRUE(found || table.find("/to-" + name + "/") != std::string::npos) << name;
        lost += unreadable;
    }
    EXPECT_GT(lost, 0u);
    EXPECT_NE(said.find(std::to_string(lost) + " entries could not be read"), std::string::npos)
        << said;
    EXPECT_NE(saved.find("temporary\ttmp\t/t\n"), std::string::npos);
    EXPECT_EQ(ReadFile(file), bytes) << "the damaged store is never written";
}

// A full or failing disk refuses the writes, and the shared index that a walk would keep up on
// disk, while the stores are still read.
TEST_F(StoreCommandsTest, ListExportAndCheckReadAStoreThatCannotBeWritten) {
    ASSERT_TRUE(WriteText(StoreSection::kKeys, "proj", folder_));
    ASSERT_TRUE(WriteText(StoreSection::kTempKeys, "tmp", folder_ + "/gone"));
    // The next command opens the stores afresh.
    UseStore("b");
    Values(StoreSection::kKeys);
    UseStore("a");
    for (int store : {kVelmoraPersistentStore, kVelmoraVolatileStore}) {
        VelmoraFailStoreWrites(store, kStoreFaultFull);
    }
    testing::internal::CaptureStdout();
    EXPECT_EQ(RunList(), kExitDone);
    EXPECT_EQ(RunCheck(), kExitFailed) << "a gone directory";
    EXPECT_NE(testing::internal::GetCapturedStdout().find("tmp"), std::string::npos);
    EXPECT_EQ(
        Written([](std::FILE* out) { EXPECT_TRUE(ExportStore(out)); }),
        "velmora export 1\nname\tproj\t" + folder_ + "\ntemporary\ttmp\t" + folder_ + "/gone\n");
    EXPECT_TRUE(StoreFaults().empty());
    EXPECT_FALSE(WriteText(StoreSection::kKeys, "new", folder_));
    ASSERT_EQ(StoreFaults().size(), 1u);
    EXPECT_EQ(StoreFaults()[0], "cannot change your names: the disk that holds " + folder_ +
                                    "/a/registry/hkcu.db is full; make room on it and try again");
}

TEST_F(StoreCommandsTest, OnlyDirectoriesThatAreMissingAreGone) {
    std::string file = folder_ + "/file";
    std::fclose(std::fopen(file.c_str(), "w"));
    EXPECT_FALSE(IsGone(folder_));
    EXPECT_TRUE(IsGone(folder_ + "/missing"));
    EXPECT_TRUE(IsGone(file));
    EXPECT_TRUE(IsGone(file + "/below"));
    // Commands for the file manager are never judged; a path may hold colons.
    EXPECT_FALSE(IsGone("ftp:server/missing"));
    EXPECT_TRUE(IsGone(folder_ + "/missing:dir"));
}

// A directory out of reach for a moment is never taken for gone: behind a link that dangles,
// below a folder that is missing or empty (so an unmounted file system leaves its mount point),
// or on a mount point. A relative path is not judged from wherever the program runs.
TEST_F(StoreCommandsTest, DirectoriesOutOfReachAreUnreachableNotGone) {
    std::string link = folder_ + "/link", empty = folder_ + "/empty";
    ASSERT_EQ(symlink((folder_ + "/away").c_str(), link.c_str()), 0);
    ASSERT_EQ(mkdir(empty.c_str(), 0700), 0);
    for (const std::string& target : {link, link + "/proj", folder_ + "/missing/proj",
                                      empty + "/proj", std::string("/proc/velmora-missing")}) {
        EXPECT_EQ(JudgeTarget(target), TargetState::kUnreachable) << target;
    }
    EXPECT_EQ(JudgeTarget("velmora-missing"), TargetState::kPresent);
}

// Names an earlier build or another tool's file stored that no jump reaches, and names that are
// one text in two Unicode forms (marks of two classes in either order are one text too), are
// listed with what is wrong; names that only look alike (é and É), and one name in both
// sections, are not.
TEST_F(StoreCommandsTest, CheckPointsOutNamesOnlyThePanelReachesAndNamesThatLookAlike) {
    const std::pair<StoreSection, std::string> stored[] = {
        {StoreSection::kKeys, "a/b"},
        {StoreSection::kKeys, "back\\slash"},
        {StoreSection::kTempKeys, ":x"},
        {StoreSection::kKeys, "x-"},
        {StoreSection::kFilters, "f/g"},
        {StoreSection::kKeys, "caf\xc3\xa9"},
        {StoreSection::kTempKeys, "cafe\xcc\x81"},
        {StoreSection::kKeys, "\xed\x95\x9c"},
        {StoreSection::kKeys, "\xe1\x84\x92\xe1\x85\xa1\xe1\x86\xab"},
        {StoreSection::kKeys, "q\xcc\xa3\xcc\x87"},
        {StoreSection::kKeys, "q\xcc\x87\xcc\xa3"},
        {StoreSection::kKeys, "\xc3\xa9t\xc3\xa9"},
        {StoreSection::kKeys, "\xc3\x89t\xc3\xa9"},
        {StoreSection::kTempKeys, "\xc3\xa9t\xc3\xa9"},
    };
    for (const auto& entry : stored) {
        ASSERT_TRUE(WriteText(entry.first, entry.second, folder_));
    }
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunCheck(), kExitFailed);
    std::string said = testing::internal::GetCapturedStderr();
    std::istringstream table(testing::internal::GetCapturedStdout());
    std::map<std::string, std::string> notes;
    for (std::string line; std::getline(table, line);) {
        notes[line.substr(0, line.find('\t'))] = line.substr(line.rfind('\t') + 1);
    }
    const std::string alike = "looks like another name";
    EXPECT_EQ(notes, (std::map<std::string, std::string>{
                         {"a/b", "panel only"},
                         {"back\\\\slash", "panel only"},
                         {":x", "temporary, panel only"},
                         {"caf\xc3\xa9", alike},
                         {"cafe\xcc\x81", "temporary, " + alike},
                         {"\xed\x95\x9c", alike},
                         {"\xe1\x84\x92\xe1\x85\xa1\xe1\x86\xab", alike},
                         {"q\xcc\xa3\xcc\x87", alike},
                         {"q\xcc\x87\xcc\xa3", alike},
                     }));
    EXPECT_NE(said.find("no jump reaches 'a/b', a name holding / or \\"), std::string::npos);
    EXPECT_NE(said.find("(caf<U+00E9> and cafe<U+0301>)"), std::string::npos) << said;
}

TEST_F(StoreCommandsTest, PruneDeletesNamesOutOfReachOnlyWhenTold) {
    ASSERT_TRUE(WriteText(StoreSection::kKeys, "gone", folder_ + "/gone"));
    ASSERT_TRUE(WriteText(StoreSection::kKeys, "away", folder_ + "/missing/proj"));
    ASSERT_TRUE(WriteText(StoreSection::kTempKeys, "here", folder_));
    auto names = [] { return Written([](std::FILE* out) { EXPECT_TRUE(WriteNames(out)); }); };
    PruneOptions options;
    options.yes = true;
    testing::internal::CaptureStdout();
    EXPECT_EQ(RunPrune(options), kExitDone);
    EXPECT_EQ(names(), "away\nhere\n");
    options.unreachable = true;
    EXPECT_EQ(RunPrune(options), kExitDone);
    EXPECT_EQ(names(), "here\n");
    testing::internal::GetCapturedStdout();
}

}  // namespace
