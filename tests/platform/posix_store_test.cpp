// The POSIX registry store as a durable, private, shared database: where it lives, what a
// killed writer or two writers at once leave behind, and what a damaged or locked file gives;
// and the POSIX start of the file browser, where it can fail.
#include <fcntl.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/inotify.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "fresh_store.h"
#include "host_fixture.h"
#include "panel/shortcut_panel.h"
#include "platform.h"
#include "registry_probe.h"
#include "store/errors.h"
#include "store/name_store.h"
#include "store/reg_section.h"
#include "store_faults.h"
#include "store_transaction.h"
#include "test_hooks.h"
#include "value_prefix.h"

namespace {

struct Fault {
    int kind;
    std::string text;
};
Fault FaultOf(int store) {
    char text[512];
    int kind = VelmoraStoreFault(store, text, sizeof text);
    return {kind, text};
}

std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every file of `folder` with its bytes.
std::map<std::string, std::string> FolderBytes(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        files[entry.path().filename()] = Bytes(entry.path());
    }
    return files;
}

// Changes the stamp of the database `file` with the statements `change`, if given, through a
// connection of its own; the stamp as "application-id user-version".
std::string Stamp(const std::string& file, const char* change = nullptr) {
    sqlite3* db = nullptr;
    sqlite3_stmt* read = nullptr;
    std::string stamp;
    if (sqlite3_open(file.c_str(), &db) == SQLITE_OK &&
        (change == nullptr || sqlite3_exec(db, change, nullptr, nullptr, nullptr) == SQLITE_OK) &&
        sqlite3_prepare_v2(db, "SELECT * FROM pragma_application_id, pragma_user_version", -1,
                           &read, nullptr) == SQLITE_OK &&
        sqlite3_step(read) == SQLITE_ROW) {
        stamp = std::to_string(sqlite3_column_int(read, 0)) + " " +
                std::to_string(sqlite3_column_int(read, 1));
    }
    sqlite3_finalize(read);
    sqlite3_close(db);
    return stamp;
}

// Counts the sleeps of every SQLite connection opened through the default VFS while it lives:
// SQLite sleeps only to wait, for a lock or before it tries again to read.
class SleepCount {
  public:
    SleepCount() {
        real_ = sqlite3_vfs_find(nullptr);
        counting_ = *real_;
        counting_.zName = "velmora-test-sleep-count";
        counting_.xSleep = [](sqlite3_vfs* vfs, int microseconds) {
            ++sleeps_;
            return real_->xSleep(vfs, microseconds);
        };
        sqlite3_vfs_register(&counting_, 1);
        sleeps_ = 0;
    }
    ~SleepCount() {
        sqlite3_vfs_register(real_, 1);
        sqlite3_vfs_unregister(&counting_);
    }
    unsigned Sleeps() const { return sleeps_; }

  private:
    // Connections opened meanwhile keep it for their life.
    static inline sqlite3_vfs counting_{};
    static inline sqlite3_vfs* real_ = nullptr;
    static inline std::atomic<unsigned> sleeps_{0};
};

class PosixStoreTest : public FreshStoreTest {
  protected:
    void TearDown() override {
        if (!writerCopy_.empty()) {
            std::filesystem::remove_all(writerCopy_);
        }
        FreshStoreTest::TearDown();
    }

    // Starts tests/platform/store_writer.cpp with COUNT, PREFIX and `more` arguments.
    pid_t StartWriter(long count, const std::string& prefix, std::vector<std::string> more = {}) {
        more.insert(more.begin(), {std::to_string(count), prefix});
        return StartWriterWith(more);
    }

    // `input`, when given, becomes the writer's standard input; it runs as `user`, when given,
    // without the variables `unset`.
    pid_t StartWriterWith(std::vector<std::string> args, int input = -1, int user = -1,
                          std::vector<const char*> unset = {}) {
        std::string program = user < 0 ? STORE_WRITER_PATH : WriterOthersCanRun();
        args.insert(args.begin(), program);
        std::vector<char*> argv;
        for (std::string& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        pid_t pid = fork();
        if (pid == 0) {
            for (const char* name : unset) {
                unsetenv(name);
            }
            if ((input < 0 || dup2(input, 0) == 0) &&
                (user < 0 || (setgid(user) == 0 && setuid(user) == 0))) {
                execv(program.c_str(), argv.data());
            }
            _exit(3);
        }
        return pid;
    }

    int Wait(pid_t pid) {
        int status = 0;
        waitpid(pid, &status, 0);
        return status;
    }

    // The exit status of `pid`, or -1 when it has not ended within `seconds` (and is killed):
    // a bound for a process that might wait forever.
    int ExitWithin(pid_t pid, int seconds) {
        for (int waited = 0; waited < seconds * 100; ++waited) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) {
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        kill(pid, SIGKILL);
        Wait(pid);
        return -1;
    }

    // Runs the writer as StartWriterWith does; its exit status, -1 when it had to be stopped.
    int RunWriter(std::vector<std::string> args, int user = -1,
                  std::vector<const char*> unset = {}) {
        return ExitWithin(StartWriterWith(std::move(args), -1, user, std::move(unset)), 30);
    }

    // A user the password database does not know, different per test process so that parallel
    // runs do not meet in /tmp.
    static int UnknownUser() { return 200000 + getpid() % 100000; }

    // The fault of `store` after `act`, run as `user` in a child process. The child ends without
    // closing what it took over of this process's stores.
    static std::string FaultAsUser(int user, int store, const std::function<void()>& act) {
        int pipeEnds[2];
        if (pipe(pipeEnds) != 0) {
            return "no pipe";
        }
        pid_t pid = fork();
        if (pid == 0) {
            if (setgid(user) == 0 && setuid(user) == 0) {
                act();
                std::string text = FaultOf(store).text;
                ssize_t written = write(pipeEnds[1], text.data(), text.size());
                _exit(written == static_cast<ssize_t>(text.size()) ? 0 : 1);
            }
            _exit(1);
        }
        close(pipeEnds[1]);
        std::string text;
        char block[512];
        for (ssize_t got; (got = read(pipeEnds[0], block, sizeof block)) > 0;) {
            text.append(block, static_cast<size_t>(got));
        }
        close(pipeEnds[0]);
        waitpid(pid, nullptr, 0);
        return text;
    }

    // Writers at once wait for each other as long as a user's would.
    static void UseTheStoresOwnBusyTime() { unsetenv("VELMORA_STORE_BUSY_MS"); }

    static mode_t Mode(const std::string& path) {
        struct stat info {};
        stat(path.c_str(), &info);
        return info.st_mode & 0777;
    }

  private:
    // A copy of the writer that another user can run: the build may lie in a folder closed to
    // others, such as a checkout in a private home.
    std::string WriterOthersCanRun() {
        if (writerCopy_.empty()) {
            char pattern[] = "/tmp/velmora-writer-XXXXXX";
            writerCopy_ = mkdtemp(pattern) != nullptr ? pattern : "";
            chmod(writerCopy_.c_str(), 0755);
            std::filesystem::copy_file(STORE_WRITER_PATH, writerCopy_ + "/store_writer");
        }
        return writerCopy_ + "/store_writer";
    }

    std::string writerCopy_;
};

TEST_F(PosixStoreTest, VolatileKeysLiveInTheRuntimeStoreAndGoWithIt) {
    { RegSection root(true); }
    {
        RegSection temp("\\TempKeys", false);
        temp.WriteString("t", "x");
        RegSection keys("\\Keys", true);
        keys.WriteString("p", "y");
    }
    EXPECT_TRUE(std::filesystem::exists(volatileDir_ + "/hkcu.db"));
    // The end of the logon empties the runtime directory.
    std::filesystem::remove_all(volatileDir_);
    EXPECT_FALSE(KeyExists("\\TempKeys"));
    EXPECT_EQ(StoredText("\\Keys", "p"), "y");
    {
        RegSection temp("\\TempKeys", false);
        TextBuffer text;
        EXPECT_FALSE(temp.ReadString("t", text));
    }
}

// While the persistent store cannot be written, a temporary name is made alone in the volatile
// store: the module's root is never kept there, and takes settings again once it can be written.
TEST_F(PosixStoreTest, TemporaryNameMadeWhileThePersistentStoreCannotBeWrittenLeavesNoRootBehind) {
    VelmoraFailStore(kVelmoraPersistentStore, kStoreFaultReadOnly);
    ASSERT_EQ(AddName("tmp", "/t", false), 0);
    VelmoraFailStore(kVelmoraPersistentStore, kStoreFaultNone);
    EXPECT_FALSE(KeyExists("")) << "no root was made on the way";
    WriteStored("", "Later", REG_SZ, std::string("set\0", 4));
    EXPECT_EQ(AddName("proj", "/p", true), 0);
    std::filesystem::remove_all(volatileDir_);
    EXPECT_EQ(StoredText("\\Keys", "proj"), "/p");
    EXPECT_EQ(StoredText("", "Later"), "set");
}

TEST_F(PosixStoreTest, EachStoreFailsAlone) {
    { RegSection root(true); }
    WriteStored("\\TempKeys", "t", REG_SZ, std::string("x\0", 2), true);
    std::string file = volatileDir_ + "/file";
    std::ofstream(file) << "x";
    setenv("VELMORA_VOLATILE_DIR", (file + "/registry").c_str(), 1);
    WriteStored("\\Keys", "p", REG_SZ, std::string("y\0", 2));
    EXPECT_EQ(StoredText("\\Keys", "p"), "y") << "a volatile store that cannot be made";
    EXPECT_EQ(FaultOf(kVelmoraVolatileStore).kind, kStoreFaultCannotOpen);

    setenv("VELMORA_VOLATILE_DIR", volatileDir_.c_str(), 1);
    for (const char* suffix : {"", "-wal", "-shm"}) {
        std::filesystem::remove(persistentDir_ + "/hkcu.db" + suffix);
    }
    std::ofstream(persistentDir_ + "/hkcu.db") << std::string(8192, '\x5a');
    EXPECT_EQ(StoredText("\\TempKeys", "t"), "x") << "a damaged persistent store";
    EXPECT_EQ(FaultOf(kVelmoraPersistentStore).kind, kStoreFaultDamaged);
}

TEST_F(PosixStoreTest, EnumerationFollowsFirstWrite) {
    RegSection keys("\\Keys", true);
    for (const char* name : {"c", "a", "b"}) {
        keys.WriteString(name, "1");
    }
    keys.WriteString("A", "rewritten keeps its place, in the spelling written last");
    keys.DeleteValue("c");
    keys.WriteString("c", "deleted and added again goes last");
    EXPECT_EQ(StoredNames("\\Keys"), (std::vector<std::string>{"A", "b", "c"}));
}

TEST_F(PosixStoreTest, NameBeginningIsFoundThroughTheIndexIgnoringAsciiCaseOnly) {
    RegSection keys("\\Keys", true);
    EXPECT_EQ(VelmoraValueNameBeginsWith(keys.key, ""), ERROR_FILE_NOT_FOUND) << "no value yet";
    for (const char* name : {"Alpha", "alphabet", "b\xE9ta", "b[", "c"}) {
        keys.WriteString(name, "1");
    }
    for (const char* found : {"", "ALPHA", "alphaB", "b\xE9", "B[", "c"}) {
        EXPECT_EQ(VelmoraValueNameBeginsWith(keys.key, found), ERROR_SUCCESS) << found;
    }
    for (const char* missed : {"alphac", "alphabets", "b\xC9", "b\\", "cc", "d"}) {
        EXPECT_EQ(VelmoraValueNameBeginsWith(keys.key, missed), ERROR_FILE_NOT_FOUND) << missed;
    }
    // More names than one run of the enumeration reads, around others that sort beside them.
    for (int i = 0; i < 1100; ++i) {
        keys.WriteString(("n" + std::to_string(10000 + i)).c_str(), "1");
    }
    keys.WriteString("m", "1");
    keys.WriteString("o", "1");
    auto beginning = [&keys](const char* prefix) {
        std::vector<std::string> names;
        auto collect = [](const char* name, void* context) {
            static_cast<std::vector<std::string>*>(context)->push_back(name);
            return 1;
        };
        EXPECT_EQ(VelmoraEnumValueNamesBeginningWith(keys.key, prefix, collect, &names),
                  ERROR_SUCCESS);
        return names;
    };
    EXPECT_EQ(beginning("ALPHA"), (std::vector<std::string>{"Alpha", "alphabet"}));
    EXPECT_EQ(beginning("b"), (std::vector<std::string>{"b[", "b\xE9ta"}));
    EXPECT_EQ(beginning("b\xC9"), std::vector<std::string>{});
    std::vector<std::string> many = beginning("N1");
    ASSERT_EQ(many.size(), 1100u);
    EXPECT_TRUE(std::is_sorted(many.begin(), many.end()));
    EXPECT_EQ(many.front(), "n10000");
    EXPECT_EQ(many.back(), "n11099");
}

TEST_F(PosixStoreTest, OverlongNameStoredByOlderCodeStaysListedAndCanBeDeleted) {
    {
        RegSection keys("\\Keys", true);
        for (const char* name : {"before", "overlong", "after"}) {
            keys.WriteString(name, "x");
        }
    }
    const std::string overlong(16384, 'n');
    RenameStoredValue("overlong", overlong);
    EXPECT_EQ(StoredNames("\\Keys"), (std::vector<std::string>{"before", overlong, "after"}));
    RegSection keys("\\Keys", true);
    EXPECT_EQ(keys.DeleteValue(overlong.c_str()), ERROR_SUCCESS);
    EXPECT_EQ(StoredNames("\\Keys"), (std::vector<std::string>{"before", "after"}));
}

TEST_F(PosixStoreTest, StoreFilesArePrivateToTheUser) {
    WriteStored("\\TempKeys", "t", REG_SZ, std::string("x\0", 2), true);
    EXPECT_EQ(Mode(persistentDir_ + "/hkcu.db"), 0600u);
    EXPECT_EQ(Mode(volatileDir_ + "/hkcu.db"), 0600u);
    EXPECT_EQ(Mode(persistentDir_ + "/hkcu.db-wal"), 0600u);
}

TEST_F(PosixStoreTest, OnlySqliteOpensAndClosesTheDatabaseFile) {
    // Closing any descriptor of the file would drop the locks SQLite holds on it.
    int events = inotify_init1(IN_NONBLOCK);
    ASSERT_GE(events, 0);
    inotify_add_watch(events, persistentDir_.c_str(), IN_OPEN | IN_CLOSE);
    WriteStored("\\Keys", "n", REG_SZ, std::string("x\0", 2));
    EXPECT_EQ(StoredText("\\Keys", "n"), "x");
    int opens = 0, closes = 0;
    alignas(inotify_event) char buffer[4096];
    for (ssize_t got; (got = read(events, buffer, sizeof buffer)) > 0;) {
        for (char* at = buffer; at < buffer + got;) {
            auto* event = reinterpret_cast<inotify_event*>(at);
            if (event->len > 0 && std::string(event->name) == "hkcu.db") {
                opens += (event->mask & IN_OPEN) != 0;
                closes += (event->mask & IN_CLOSE) != 0;
            }
            at += sizeof(inotify_event) + event->len;
        }
    }
    close(events);
    EXPECT_EQ(opens, 1);
    EXPECT_EQ(closes, 0);
}

TEST_F(PosixStoreTest, TwoStoresInOneFolderAreRefusedNotOpenedTwice) {
    setenv("VELMORA_VOLATILE_DIR", persistentDir_.c_str(), 1);
    EXPECT_EQ(AddName("perm", "/p", true), 0);
    EXPECT_EQ(AddName("temp", "/t", false), ErrRegistry);
    Fault fault = FaultOf(kVelmoraVolatileStore);
    EXPECT_EQ(fault.kind, kStoreFaultCannotOpen);
    EXPECT_EQ(fault.text, "cannot open your temporary names in " + persistentDir_ +
                              "/hkcu.db: it is the file of your names as well; give them a folder "
                              "of their own in VELMORA_VOLATILE_DIR");
    EXPECT_EQ(StoredText("\\Keys", "perm"), "/p");
}

TEST_F(PosixStoreTest, LocationsFollowTheEnvironmentThroughLinks) {
    // A ~/.config kept among dotfiles, a runtime folder reached through a link.
    std::string config = persistentDir_ + "/dotfiles";
    std::string runtime = volatileDir_ + "/run";
    std::filesystem::create_directory(config);
    std::filesystem::create_directory(runtime);
    std::filesystem::create_directory_symlink(config, persistentDir_ + "/config");
    std::filesystem::create_directory_symlink(runtime, volatileDir_ + "/runtime");
    unsetenv("VELMORA_REGISTRY_DIR");
    unsetenv("VELMORA_VOLATILE_DIR");
    setenv("XDG_CONFIG_HOME", (persistentDir_ + "/config").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (volatileDir_ + "/runtime").c_str(), 1);
    WriteStored("\\TempKeys", "t", REG_SZ, std::string("x\0", 2), true);
    EXPECT_TRUE(std::filesystem::exists(config + "/velmora/registry/hkcu.db"));
    EXPECT_TRUE(std::filesystem::exists(runtime + "/velmora/registry/hkcu.db"));
    EXPECT_EQ(Mode(config + "/velmora/registry"), 0700u);
    EXPECT_EQ(FaultOf(kVelmoraPersistentStore).kind, kStoreFaultNone);
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_RUNTIME_DIR");
}

// Taken from wherever the program runs, a relative folder would be a new store in every
// directory: one of our own variables naming one is refused, and an XDG folder (a literal "~" is
// an easy slip) is ignored as if unset, as the base-directory rules say, and said once.
TEST_F(PosixStoreTest, RelativeFoldersMakeNoStoreBelowTheCurrentDirectory) {
    std::filesystem::path before = std::filesystem::current_path();
    std::string home = getenv("HOME") != nullptr ? getenv("HOME") : "";
    std::filesystem::current_path(persistentDir_);
    setenv("VELMORA_REGISTRY_DIR", "a/reg", 1);
    EXPECT_EQ(AddName("n", "/p", true), ErrRegistry);
    EXPECT_EQ(FaultOf(kVelmoraPersistentStore).text,
              "VELMORA_REGISTRY_DIR=a/reg is not a full path: your names would be kept below "
              "whichever directory you are in; set it to a full path, one that begins with /");
    unsetenv("VELMORA_REGISTRY_DIR");
    unsetenv("VELMORA_VOLATILE_DIR");
    setenv("HOME", (persistentDir_ + "/home").c_str(), 1);
    setenv("XDG_CONFIG_HOME", "~/.config", 1);
    setenv("XDG_RUNTIME_DIR", "run", 1);
    EXPECT_EQ(AddName("n", "/p", true), 0);
    EXPECT_EQ(AddName("m", "/p", true), 0);
    TextBuffer target;
    LookupNameIn("n", true, target);
    std::filesystem::current_path(before);
    setenv("HOME", home.c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_RUNTIME_DIR");
    EXPECT_TRUE(std::filesystem::exists(persistentDir_ + "/home/.config/velmora/registry/hkcu.db"));
    EXPECT_FALSE(std::filesystem::exists(persistentDir_ + "/a"));
    EXPECT_FALSE(std::filesystem::exists(persistentDir_ + "/~"));
    std::vector<std::string> notices;
    for (char text[512]; VelmoraTakeStoreNotice(text, sizeof text) != 0;) {
        notices.push_back(text);
    }
    EXPECT_EQ(notices, (std::vector<std::string>{
                           "XDG_CONFIG_HOME=~/.config is not a full path and is ignored, as if "
                           "unset; set it to a full path, or unset it",
                           "XDG_RUNTIME_DIR=run is not a full path and is ignored, as if unset; "
                           "set it to a full path, or unset it"}));
}

TEST_F(PosixStoreTest, FailedOpenRemovesNoFileAndWhatItLeftReadsAsNoStore) {
    // SQLite cannot make its journal where a folder takes the journal's name. The file it made
    // may be another process's new store by then.
    std::filesystem::create_directory(persistentDir_ + "/hkcu.db-journal");
    EXPECT_FALSE(RegSection(true).WriteString("made", "by the first write"));
    EXPECT_EQ(FaultOf(kVelmoraPersistentStore).kind, kStoreFaultCannotOpen);
    EXPECT_TRUE(std::filesystem::exists(persistentDir_ + "/hkcu.db"));
    std::filesystem::remove(persistentDir_ + "/hkcu.db-journal");
    VelmoraClearStoreFaults();
    EXPECT_EQ(StoredText("", "made"), "<missing>");
    EXPECT_EQ(FaultOf(kVelmoraPersistentStore).kind, kStoreFaultNone);
    EXPECT_TRUE(RegSection(true).WriteString("made", "by the next write"));
}

TEST_F(PosixStoreTest, StoreFileGoneWhileOpenForReadingIsNeitherCalledDamagedNorReadElsewhere) {
    for (bool replaced : {false, true}) {
        ASSERT_EQ(RunWriter({"1", "old"}), 0);
        RegSection keys("\\Keys", true);  // opened for reading only
        for (const char* suffix : {"", "-wal", "-shm"}) {
            std::filesystem::remove(persistentDir_ + "/hkcu.db" + suffix);
        }
        if (replaced) {
            ASSERT_EQ(RunWriter({"1", "new"}), 0);
        }
        EXPECT_FALSE(keys.WriteString("a", "x")) << replaced;
        EXPECT_FALSE(keys.WriteString("b", "x")) << replaced;
        TextBuffer text;
        EXPECT_FALSE(keys.ReadString(replaced ? "new-0" : "old-0", text)) << replaced;
        EXPECT_EQ(FaultOf(kVelmoraPersistentStore).kind, kStoreFaultCannotOpen) << replaced;
    }
}

// SQLite tries a WAL it cannot make again for reading only, which finds none: the fault says
// why the file could not be made, here a disk with room for no other file.
TEST_F(PosixStoreTest, WalThatCannotBeMadeIsSaidWithTheReasonOfTheDisk) {
    std::string disk = persistentDir_ + "/disk";
    ASSERT_EQ(mkdir(disk.c_str(), 0700), 0);
    if (mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=1m,nr_inodes=8,mode=0700") != 0) {
        GTEST_SKIP() << "no file system can be mounted here";
    }
    struct Unmount {
        std::string disk;
        ~Unmount() { umount2(disk.c_str(), MNT_DETACH); }
    } unmount{disk};
    setenv("VELMORA_REGISTRY_DIR", (disk + "/registry").c_str(), 1);
    EXPECT_EQ(RunWriter({"1", "kept"}), 0);
    std::string file = disk + "/registry/hkcu.db";
    ASSERT_EQ(unlink((file + "-wal").c_str()), 0);
    for (int i = 0;; ++i) {
        int fd = open((disk + "/" + std::to_string(i)).c_str(), O_CREAT | O_WRONLY, 0600);
        if (fd < 0) {
            break;
        }
        close(fd);
    }
    EXPECT_EQ(AddName("new", "/n", true), ErrRegistry);
    EXPECT_EQ(FaultOf(kVelmoraPersistentStore).text,
              "cannot open your names in " + file + ": No space left on device");
}

TEST_F(PosixStoreTest, DamagedDatabaseGivesErrorStatusNotCrash) {
    std::string damaged = persistentDir_ + "/damaged";
    std::filesystem::create_directories(damaged);
    std::ofstream(damaged + "/hkcu.db") << std::string(8192, '\x5a');
    setenv("VELMORA_REGISTRY_DIR", damaged.c_str(), 1);
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\X", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_BADDB);
    EXPECT_THROW(RegSection root(true), terrors_t);
    Fault fault = FaultOf(kVelmoraPersistentStore);
    EXPECT_EQ(fault.kind, kStoreFaultDamaged);
    EXPECT_EQ(fault.text, "your names are in a damaged file (" + damaged +
                              "/hkcu.db); save what can still be read with `velmora export "
                              "--salvage FILE`, move the folder " +
                              damaged + " aside, and run `velmora import FILE`");
}

TEST_F(PosixStoreTest, FilesThatAreNoStoreOfOursAreLeftByteForByte) {
    auto foreign = [](const std::string& file) {
        sqlite3* db = nullptr;
        sqlite3_open(file.c_str(), &db);
        sqlite3_exec(db, "CREATE TABLE notes(x); INSERT INTO notes VALUES('mine')", nullptr,
                     nullptr, nullptr);
        sqlite3_close(db);
    };
    auto walAlone = [](const std::string& file) {
        std::ofstream(file + "-wal") << std::string(4096, 'w');
    };
    auto walBesideEmpty = [&](const std::string& file) {
        walAlone(file);
        std::ofstream(file) << "";
    };
    struct Case {
        std::function<void(const std::string&)> make;
        int kind;
        std::string says;
    } const cases[] = {
        {foreign, kStoreFaultNotOurs, "/hkcu.db: it holds another program's data"},
        {walAlone, kStoreFaultDamaged, "/hkcu.db, is missing, but "},
        {walBesideEmpty, kStoreFaultDamaged, "/hkcu.db, is empty, but "},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        std::string folder = persistentDir_ + "/" + std::to_string(i);
        std::filesystem::create_directory(folder);
        cases[i].make(folder + "/hkcu.db");
        auto before = FolderBytes(folder);
        setenv("VELMORA_REGISTRY_DIR", folder.c_str(), 1);
        EXPECT_EQ(AddName("n", "/n", true), ErrRegistry) << i;
        EXPECT_EQ(FolderBytes(folder), before) << i;
        Fault fault = FaultOf(kVelmoraPersistentStore);
        EXPECT_EQ(fault.kind, cases[i].kind) << i;
        EXPECT_NE(fault.text.find(folder + cases[i].says), std::string::npos) << fault.text;
    }
}

// A store says that it is ours and which version of the schema it holds; one an earlier build
// made without saying so holds the same schema, and its first write stamps it.
TEST_F(PosixStoreTest, StoreIsStampedWhenMadeAndOneOfAnEarlierBuildByItsFirstWrite) {
    ASSERT_EQ(RunWriter({"1", "kept"}), 0);
    std::string file = persistentDir_ + "/hkcu.db";
    EXPECT_EQ(Stamp(file), "1449487469 1");
    Stamp(file, "PRAGMA application_id = 0; PRAGMA user_version = 0");
    EXPECT_EQ(StoredText("\\Keys", "kept-0"), "value-of-kept-0");
    EXPECT_EQ(Stamp(file), "0 0") << "a read writes nothing";
    EXPECT_EQ(AddName("new", "/n", true), 0);
    EXPECT_EQ(Stamp(file), "1449487469 1");
}

// What this build knows of a store that a newer one, or another program, stamped is read; the
// store is never written.
TEST_F(PosixStoreTest, StoreStampedByANewerVersionOrAnotherProgramIsReadAndNeverWritten) {
    struct Case {
        const char* stamp;
        int kind;
        std::string says;
    } const cases[] = {
        {"PRAGMA user_version = 2", kStoreFaultReadOnly,
         "cannot change your names: a newer velmora wrote FILE, which this one can only read; "
         "change them with the newer one"},
        {"PRAGMA application_id = 7", kStoreFaultNotOurs,
         "cannot keep your names in FILE: it holds another program's data; name another folder "
         "for them in VELMORA_REGISTRY_DIR"},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        std::string folder = persistentDir_ + "/" + std::to_string(i);
        setenv("VELMORA_REGISTRY_DIR", folder.c_str(), 1);
        ASSERT_EQ(RunWriter({"1", "kept"}), 0);
        std::string file = folder + "/hkcu.db";
        Stamp(file, cases[i].stamp);
        EXPECT_EQ(StoredText("\\Keys", "kept-0"), "value-of-kept-0") << i;
        auto before = FolderBytes(folder);
        before.erase("hkcu.db-shm");
        EXPECT_EQ(AddName("new", "/n", true), ErrRegistry) << i;
        Fault fault = FaultOf(kVelmoraPersistentStore);
        EXPECT_EQ(fault.kind, cases[i].kind) << i;
        std::string says = cases[i].says;
        EXPECT_EQ(fault.text, says.replace(says.find("FILE"), 4, file));
        auto after = FolderBytes(folder);
        after.erase("hkcu.db-shm");
        EXPECT_EQ(after, before) << i;
    }
}

// A folder cleaner took the temporary names' file and left its WAL, which is of no use alone;
// the permanent store is refused so (FilesThatAreNoStoreOfOursAreLeftByteForByte).
TEST_F(PosixStoreTest, TemporaryStoreWhoseFileAloneWasRemovedStartsAnewAndSaysSoOnce) {
    std::string wal = volatileDir_ + "/hkcu.db-wal";
    std::string left(4096, 'w');
    std::ofstream(wal) << left;
    ASSERT_EQ(chmod(wal.c_str(), 0600), 0);
    EXPECT_EQ(AddName("tmp", "/t", false), 0);
    EXPECT_EQ(FaultOf(kVelmoraVolatileStore).text,
              "the file of your temporary names, " + volatileDir_ + "/hkcu.db, is missing, but " +
                  wal + " beside it holds their latest changes, which are kept in " + wal +
                  ".set-aside; your temporary names start anew");
    EXPECT_EQ(Bytes(wal + ".set-aside"), left);
    VelmoraClearStoreFaults();
    EXPECT_EQ(RunWriter({"read", "\\TempKeys", "tmp"}), 0);
    EXPECT_EQ(RunWriter({"1", "more", "\\TempKeys", "volatile"}), 0) << "no fault said again";
}

TEST_F(PosixStoreTest, StoreFoundDamagedIsNeverWrittenAgain) {
    {
        // The first name's pages are not those that a name added later goes to.
        RegSection keys("\\Keys", true);
        keys.WriteString("a-victim", "/v");
        for (int i = 0; i < 300; ++i) {
            keys.WriteString(("n-" + std::to_string(i)).c_str(), std::string(100, 'p').c_str());
        }
    }
    // Another folder takes the connection's place: the old one moves its WAL into the file.
    auto elsewhere = [&] {
        setenv("VELMORA_REGISTRY_DIR", (persistentDir_ + "/elsewhere").c_str(), 1);
        StoredText("\\Keys", "n-0");
    };
    elsewhere();
    std::string file = persistentDir_ + "/hkcu.db";
    std::string bytes = Bytes(file);
    for (size_t at = bytes.find("a-victim"); at != std::string::npos;
         at = bytes.find("a-victim", at + 1)) {
        bytes[at / 4096 * 4096] = '\x77';  // no b-tree page has this type
    }
    std::ofstream(file, std::ios::binary) << bytes;
    setenv("VELMORA_REGISTRY_DIR", persistentDir_.c_str(), 1);
    auto before = FolderBytes(persistentDir_);
    before.erase("hkcu.db-shm");  // SQLite's shared index of readers, not the store

    TextBuffer target;
    EXPECT_EQ(LookupName("a-victim", target), 0);
    EXPECT_EQ(FaultOf(kVelmoraPersistentStore).kind, kStoreFaultDamaged);
    EXPECT_EQ(AddName("z-new", "/z", true), ErrRegistry);
    EXPECT_EQ(FaultOf(kVelmoraPersistentStore).kind, kStoreFaultDamaged);
    elsewhere();
    auto after = FolderBytes(persistentDir_);
    after.erase("hkcu.db-shm");
    EXPECT_EQ(after, before);
}

TEST_F(PosixStoreTest, StoreOthersCouldWriteIsRefusedAndLeftAsItIs) {
    WriteStored("\\Keys", "kept", REG_SZ, std::string("x\0", 2));
    bool root = geteuid() == 0;
    struct Case {
        const char* changed;  // below the runtime folder; "" for that folder itself
        mode_t mode;
        bool anotherUsers;
    } const cases[] = {
        {"", 0777, false},
        {"velmora/registry", 0777, false},
        {"velmora/registry/hkcu.db", 0666, false},
        {"velmora/registry/hkcu.db-wal", 0666, false},
        {"velmora/registry", 0700, root},
        {"velmora/registry/hkcu.db", 0640, root},
    };
    unsetenv("VELMORA_VOLATILE_DIR");
    for (size_t i = 0; i < std::size(cases); ++i) {
        std::string runtime = volatileDir_ + "/" + std::to_string(i);
        std::filesystem::create_directory(runtime);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        ASSERT_EQ(RunWriter({"1", "temp", "\\TempKeys", "volatile"}), 0);
        std::string changed = runtime + (cases[i].changed[0] ? "/" : "") + cases[i].changed;
        chmod(changed.c_str(), cases[i].mode);
        if (cases[i].anotherUsers) {
            ASSERT_EQ(chown(changed.c_str(), UnknownUser(), UnknownUser()), 0);
        }
        TextBuffer target;
        EXPECT_EQ(LookupName("temp-0", target), 0) << changed;
        Fault fault = FaultOf(kVelmoraVolatileStore);
        EXPECT_EQ(fault.kind, kStoreFaultNotOurs) << changed;
        EXPECT_EQ(fault.text.rfind("cannot keep your temporary names in " + changed + ": ", 0), 0u)
            << fault.text;
        EXPECT_EQ(Mode(changed), cases[i].mode) << changed;
        EXPECT_EQ(StoredText("\\Keys", "kept"), "x");
    }
    unsetenv("XDG_RUNTIME_DIR");
}

TEST_F(PosixStoreTest, EmptyStoreFileReadsAsNoStoreAndIsLeftAsItIs) {
    // An empty file is a store that a failed start or another process has just begun.
    for (mode_t mode : {0700, 0500}) {
        std::string folder = persistentDir_ + "/" + std::to_string(mode);
        std::filesystem::create_directory(folder);
        std::ofstream(folder + "/hkcu.db").close();
        chmod((folder + "/hkcu.db").c_str(), 0600);
        chmod(folder.c_str(), mode);
        setenv("VELMORA_REGISTRY_DIR", folder.c_str(), 1);
        TextBuffer target;
        EXPECT_EQ(LookupName("n", target), 0) << mode;
        EXPECT_EQ(FaultOf(kVelmoraPersistentStore).kind, kStoreFaultNone) << mode;
        EXPECT_EQ(FolderBytes(folder).size(), 1u) << "no WAL files made";
        EXPECT_EQ(std::filesystem::file_size(folder + "/hkcu.db"), 0u) << "nothing written";
        chmod(folder.c_str(), 0700);
    }
}

TEST_F(PosixStoreTest, StoreTheUserCanOnlyReadIsReadAndNeverWritten) {
    ASSERT_EQ(RunWriter({"1", "kept"}), 0);
    struct Case {
        std::string locked;
        mode_t mode;
    } const cases[] = {{persistentDir_ + "/hkcu.db", 0400}, {persistentDir_, 0500}};
    for (const Case& c : cases) {
        mode_t mode = Mode(c.locked);
        chmod(c.locked.c_str(), c.mode);
        EXPECT_EQ(RunWriter({"read", "\\Keys", "kept-0"}), 0) << c.locked;
        EXPECT_EQ(RunWriter({"1", "new"}), 10 + kStoreFaultReadOnly) << c.locked;
        EXPECT_EQ(Mode(c.locked), c.mode);
        chmod(c.locked.c_str(), mode);
    }
    EXPECT_EQ(RunWriter({"read", "\\Keys", "new-0"}), 1);
}

TEST_F(PosixStoreTest, FaultNamesTheFolderThatCannotBeMadeUntilCleared) {
    // Braces in a path are the user's, not words of the message to fill in.
    std::string file = persistentDir_ + "/file{path}{names}";
    std::ofstream(file) << "x";
    setenv("VELMORA_REGISTRY_DIR", (file + "/registry").c_str(), 1);
    EXPECT_THROW(RegSection root(true), terrors_t);
    Fault fault = FaultOf(kVelmoraPersistentStore);
    EXPECT_EQ(fault.kind, kStoreFaultCannotOpen);
    EXPECT_EQ(fault.text, "cannot open your names in " + file + "/registry: Not a directory");
    EXPECT_EQ(FaultOf(kVelmoraVolatileStore).kind, kStoreFaultNone);
    char cut[8];
    EXPECT_EQ(VelmoraStoreFault(kVelmoraPersistentStore, cut, sizeof cut), kStoreFaultCannotOpen);
    EXPECT_EQ(std::string(cut), fault.text.substr(0, sizeof cut - 1));
    VelmoraClearStoreFaults();
    EXPECT_EQ(FaultOf(kVelmoraPersistentStore).kind, kStoreFaultNone);
}

TEST_F(PosixStoreTest, FailureHookMakesOneStoreFailAsItsFaultWould) {
    RegSection root(true);
    VelmoraFailStore(kVelmoraVolatileStore, kStoreFaultFull);
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, ModuleKeyPath("\\TempKeys").c_str(), 0, nullptr,
                              REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_CANTWRITE);
    Fault fault = FaultOf(kVelmoraVolatileStore);
    EXPECT_EQ(fault.kind, kStoreFaultFull);
    EXPECT_EQ(fault.text, "cannot change your temporary names: the disk that holds " +
                              volatileDir_ + "/hkcu.db is full; make room on it and try again");
    EXPECT_TRUE(root.WriteString("other", "the persistent store is not touched"));
    VelmoraFailStore(kVelmoraVolatileStore, kStoreFaultNone);
    EXPECT_NO_THROW(RegSection temp("\\TempKeys", false));
    // A store open already that fails while a key is looked for in it has not lost the key.
    VelmoraFailStore(kVelmoraPersistentStore, kStoreFaultIoError);
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, ModuleKeyPath("\\Keys").c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_CANTWRITE);
    EXPECT_NO_THROW(RegSection temp("\\TempKeys", false));
}

TEST_F(PosixStoreTest, TmpFolderMustBeOursAlone) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "only root can act as another user";
    }
    int user = UnknownUser();
    std::string base = "/tmp/velmora-" + std::to_string(user);
    std::string elsewhere = base + "-elsewhere";
    ASSERT_EQ(chown(persistentDir_.c_str(), user, user), 0);
    struct Case {
        const char* what;
        int owner;
        mode_t mode;
        bool link;
        int exitStatus;
    } const cases[] = {
        {"another user's", 0, 0700, false, 10 + kStoreFaultNotOurs},
        {"open to others", user, 0755, false, 10 + kStoreFaultNotOurs},
        {"a link to ours", user, 0700, true, 10 + kStoreFaultNotOurs},
        {"ours alone", user, 0700, false, 0},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(base);
        std::filesystem::remove_all(elsewhere);
        std::string made = c.link ? elsewhere : base;
        ASSERT_EQ(mkdir(made.c_str(), c.mode), 0);
        ASSERT_EQ(chmod(made.c_str(), c.mode), 0);
        ASSERT_EQ(chown(made.c_str(), c.owner, c.owner), 0);
        if (c.link) {
            std::filesystem::create_directory_symlink(elsewhere, base);
        }
        std::vector<const char*> unset = {"VELMORA_VOLATILE_DIR", "XDG_RUNTIME_DIR"};
        EXPECT_EQ(RunWriter({"1", c.what, "\\Keys"}, user, unset), 0)
            << "permanent names beside a volatile folder " << c.what;
        EXPECT_EQ(RunWriter({"1", "temp", "\\TempKeys", "volatile"}, user, unset), c.exitStatus)
            << c.what;
        // Anyone may take that folder first: the user learns that the temporary names are off
        // and how to keep them elsewhere.
        std::string said = FaultAsUser(user, kVelmoraVolatileStore, [] {
            unsetenv("VELMORA_VOLATILE_DIR");
            unsetenv("XDG_RUNTIME_DIR");
            AddName("temp", "/t", false);
        });
        EXPECT_EQ(said.find("they are off for this session: set VELMORA_VOLATILE_DIR to a folder "
                            "of your own") != std::string::npos,
                  c.exitStatus != 0)
            << said;
    }
    std::filesystem::remove_all(base);
    std::filesystem::remove_all(elsewhere);
}

// Root with a user's HOME (as sudo -E leaves it) would make ~/.config and the store there, root's,
// and lock the user out of both: it is refused, saying whose the folder is and why, and nothing is
// made. A user whose folders root made all the same is told the command that gives them back.
TEST_F(PosixStoreTest, RootMakesNothingInAnotherUsersHomeWhoIsToldHowToGetBackWhatRootMade) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "only root can act as another user";
    }
    int user = UnknownUser();
    std::string home = persistentDir_ + "/home", config = home + "/.config";
    ASSERT_EQ(chmod(persistentDir_.c_str(), 0755), 0);
    ASSERT_EQ(mkdir(home.c_str(), 0700), 0);
    ASSERT_EQ(chown(home.c_str(), user, user), 0);
    std::string savedHome = getenv("HOME") != nullptr ? getenv("HOME") : "";
    unsetenv("VELMORA_REGISTRY_DIR");
    setenv("HOME", home.c_str(), 1);
    EXPECT_EQ(AddName("x", "/x", true), ErrRegistry);
    Fault fault = FaultOf(kVelmoraPersistentStore);
    EXPECT_EQ(fault.kind, kStoreFaultNotOurs);
    EXPECT_EQ(fault.text, "cannot keep your names in " + home + ": it belongs to user " +
                              std::to_string(user) +
                              ", and velmora runs as root with HOME=" + home +
                              " (sudo -E keeps the caller's), so nothing was made there; run "
                              "velmora as user " +
                              std::to_string(user) + ", or as root without -E");
    EXPECT_FALSE(std::filesystem::exists(config));

    // What an earlier build left: root's folders in the user's home.
    ASSERT_EQ(mkdir(config.c_str(), 0700), 0);
    ASSERT_EQ(mkdir((config + "/velmora").c_str(), 0700), 0);
    auto add = [] { AddName("x", "/x", true); };
    std::string said = FaultAsUser(user, kVelmoraPersistentStore, add);
    std::string giveBack = "give it back with: sudo chown -R " + std::to_string(user) + ":" +
                           std::to_string(user) + " " + config;
    EXPECT_EQ(said, "cannot keep your names in " + config + ": it belongs to root; " + giveBack);
    // The same where the user can look into root's folders and finds the store's own folder.
    std::string registry = config + "/velmora/registry";
    ASSERT_EQ(mkdir(registry.c_str(), 0755), 0);
    ASSERT_EQ(chmod(config.c_str(), 0755) | chmod((config + "/velmora").c_str(), 0755), 0);
    said = FaultAsUser(user, kVelmoraPersistentStore, add);
    setenv("HOME", savedHome.c_str(), 1);
    EXPECT_EQ(said, "cannot keep your names in " + registry + ": it belongs to root; " + giveBack);
}

TEST_F(PosixStoreTest, NoHomeIsAFault) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "only root can act as a user without a home";
    }
    EXPECT_EQ(RunWriter({"1", "name"}, UnknownUser(),
                        {"VELMORA_REGISTRY_DIR", "XDG_CONFIG_HOME", "HOME"}),
              10 + kStoreFaultNoHome);
}

TEST_F(PosixStoreTest, LockedDatabaseGivesBusyStatus) {
    WriteStored("\\Keys", "kept", REG_SZ, std::string("x\0", 2));
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open((persistentDir_ + "/hkcu.db").c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    {
        // A command that writes several values waits once, not once per value.
        unsigned waits = VelmoraLockWaitsInVain();
        RegSection keys("\\Keys", true);
        EXPECT_FALSE(keys.WriteString("blocked", "x"));
        EXPECT_FALSE(keys.WriteString("blocked too", "x"));
        EXPECT_EQ(VelmoraLockWaitsInVain() - waits, 1u);
    }
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    RegSection keys("\\Keys", true);
    EXPECT_TRUE(keys.WriteString("free", "x")) << "the lock is tried again, without waiting";
}

TEST_F(PosixStoreTest, NewStoreLockedElsewhereIsReadAtOnceAndWaitedForOnceByWrites) {
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open((persistentDir_ + "/hkcu.db").c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "PRAGMA journal_mode=WAL; BEGIN IMMEDIATE; CREATE TABLE t(x)",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    unsigned waits = VelmoraLockWaitsInVain();
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Made", 0, nullptr,
                              REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    for (int write = 0; write < 2; ++write) {
        EXPECT_EQ(RegSetValueExA(key, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2),
                  ERROR_BUSY);
    }
    EXPECT_EQ(VelmoraLockWaitsInVain() - waits, 1u);
    EXPECT_EQ(FaultOf(kVelmoraPersistentStore).kind, kStoreFaultBusy);
    RegCloseKey(key);
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
}

TEST_F(PosixStoreTest, StartReadsWhileAnotherProcessWritesAndItsWriteGivesUp) {
    WriteStored("\\Keys", "kept", REG_SZ, std::string("x\0", 2));
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open((persistentDir_ + "/hkcu.db").c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE; DELETE FROM vals", nullptr, nullptr, nullptr),
              SQLITE_OK);
    EXPECT_EQ(RunWriter({"read", "\\Keys", "kept"}), 0) << "a read is served at once";
    EXPECT_EQ(RunWriter({"1", "blocked"}), 10 + kStoreFaultBusy)
        << "a write gives up after a while";
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
}

// A writer killed in the middle of a write, or whose sync failed, can leave its WAL as the header
// alone beside the shared index as it stood; a read then needs an index that no process keeps.
TEST_F(PosixStoreTest, StoreACrashedWriterLeftIsReadAndWrittenWithoutWaiting) {
    ASSERT_EQ(RunWriter({"3", "kept"}), 0);
    std::string file = persistentDir_ + "/hkcu.db";
    sqlite3* writer = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &writer), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(writer, "UPDATE vals SET type = type", nullptr, nullptr, nullptr),
              SQLITE_OK);
    std::string walHeader = Bytes(file + "-wal").substr(0, 32);
    std::string index = Bytes(file + "-shm");
    sqlite3_close(writer);
    std::ofstream(file + "-wal", std::ios::binary) << walHeader;
    std::ofstream(file + "-shm", std::ios::binary) << index;

    SleepCount count;
    EXPECT_EQ(StoredText("\\Keys", "kept-1"), "value-of-kept-1");
    EXPECT_EQ(StoredNames("\\Keys").size(), 3u);
    WriteStored("\\Keys", "after", REG_SZ, std::string("x\0", 2));
    EXPECT_EQ(count.Sleeps(), 0u);
}

// A start that only reads neither makes nor removes a file, nor writes the database or its WAL
// (SQLite may rebuild its shared index of readers); where the index is missing it is read all
// the same.
TEST_F(PosixStoreTest, StartOverAnExistingStoreMakesRemovesAndWritesNoFile) {
    EXPECT_EQ(Wait(StartWriter(1, "first")), 0);
    int events = inotify_init1(IN_NONBLOCK);
    ASSERT_GE(events, 0);
    for (const std::string& dir : {persistentDir_, volatileDir_}) {
        inotify_add_watch(events, dir.c_str(), IN_CREATE | IN_DELETE | IN_MODIFY);
    }
    EXPECT_EQ(RunWriter({"read", "\\Keys", "first-0"}), 0);
    alignas(inotify_event) char buffer[4096];
    for (ssize_t got; (got = read(events, buffer, sizeof buffer)) > 0;) {
        for (char* at = buffer; at < buffer + got;) {
            auto* event = reinterpret_cast<inotify_event*>(at);
            std::string name = event->len > 0 ? event->name : "";
            EXPECT_TRUE(event->mask == IN_MODIFY && name == "hkcu.db-shm") << name;
            at += sizeof(inotify_event) + event->len;
        }
    }
    close(events);
    ASSERT_EQ(unlink((persistentDir_ + "/hkcu.db-shm").c_str()), 0);
    EXPECT_EQ(RunWriter({"read", "\\Keys", "first-0"}), 0);
}

TEST_F(PosixStoreTest, TwoWritersAtOnceLoseNothing) {
    UseTheStoresOwnBusyTime();
    pid_t first = StartWriter(1000, "one");
    pid_t second = StartWriter(1000, "two");
    EXPECT_EQ(Wait(first), 0);
    EXPECT_EQ(Wait(second), 0);
    std::vector<std::string> names = StoredNames("\\Keys");
    EXPECT_EQ(names.size(), 2000u);
    for (const std::string& name : names) {
        ASSERT_EQ(StoredText("\\Keys", name.c_str()), "value-of-" + name);
    }
}

TEST_F(PosixStoreTest, FirstAddsOfSixProcessesAtOnceOnANewStoreAllSucceed) {
    UseTheStoresOwnBusyTime();
    // The race for a new store's file is short: a few new stores give it a few chances.
    for (int round = 0; round < 8; ++round) {
        std::string folder = persistentDir_ + "/" + std::to_string(round);
        setenv("VELMORA_REGISTRY_DIR", folder.c_str(), 1);
        int start[2];
        ASSERT_EQ(pipe2(start, O_CLOEXEC), 0);
        std::vector<pid_t> writers;
        for (int i = 0; i < 6; ++i) {
            writers.push_back(StartWriterWith(
                {"1", "first" + std::to_string(i), "\\Keys", "together"}, start[0]));
        }
        close(start[0]);
        close(start[1]);
        for (pid_t writer : writers) {
            EXPECT_EQ(ExitWithin(writer, 30), 0) << folder;
        }
        EXPECT_EQ(StoredNames("\\Keys").size(), 6u) << folder;
    }
}

TEST_F(PosixStoreTest, KeyCreatedByTwoProcessesAtOnceLivesInOneStore) {
    UseTheStoresOwnBusyTime();
    // One process creates each key volatile, the other not: whichever comes second must open
    // the first one's key, or one of the two values would go to a second key and be lost.
    { RegSection race("\\Race", true); }
    constexpr int kKeys = 2000;
    int start[2];
    ASSERT_EQ(pipe2(start, O_CLOEXEC), 0);
    pid_t first = StartWriterWith(
        {std::to_string(kKeys), "volatile", "\\Race\\*", "volatile", "together"}, start[0]);
    pid_t second =
        StartWriterWith({std::to_string(kKeys), "persistent", "\\Race\\*", "together"}, start[0]);
    close(start[0]);
    close(start[1]);
    EXPECT_EQ(Wait(first), 0);
    EXPECT_EQ(Wait(second), 0);
    for (int i = 0; i < kKeys; ++i) {
        std::string key = "\\Race\\" + std::to_string(i);
        ASSERT_EQ(StoredNames(key.c_str()).size(), 2u) << key;
    }
}

TEST_F(PosixStoreTest, TransactionFailingHalfWayRollsBackToTheStoreAsBefore) {
    WriteStored("\\Keys", "kept", REG_SZ, std::string("old\0", 4));
    ASSERT_EQ(VelmoraBeginStoreTransaction(), ERROR_SUCCESS);
    EXPECT_EQ(VelmoraBeginStoreTransaction(), ERROR_INVALID_FUNCTION);
    HKEY made = nullptr;
    {
        RegSection keys("\\Keys", true);
        EXPECT_TRUE(keys.WriteString("kept", "changed"));
        EXPECT_TRUE(keys.WriteString("added", "x"));
        RegSection temp("\\TempKeys", false);
        EXPECT_TRUE(temp.WriteString("t", "y"));
        TextBuffer read;
        EXPECT_TRUE(keys.ReadString("added", read)) << "reads inside see the writes";
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, ModuleKeyPath("\\Made").c_str(), 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &made, nullptr),
                  ERROR_SUCCESS);
        VelmoraFailStore(kVelmoraPersistentStore, kStoreFaultFull);
        EXPECT_FALSE(keys.WriteString("late", "x"));
        VelmoraFailStore(kVelmoraPersistentStore, kStoreFaultNone);
    }
    EXPECT_EQ(VelmoraEndStoreTransaction(0), ERROR_SUCCESS);
    EXPECT_EQ(StoredNames("\\Keys"), std::vector<std::string>{"kept"});
    EXPECT_EQ(StoredText("\\Keys", "kept"), "old");
    EXPECT_FALSE(KeyExists("\\TempKeys"));
    EXPECT_FALSE(KeyExists("\\Made"));
    EXPECT_EQ(RegSetValueExA(made, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2),
              ERROR_KEY_DELETED);
    RegCloseKey(made);
    EXPECT_EQ(VelmoraEndStoreTransaction(1), ERROR_INVALID_FUNCTION);
}

TEST_F(PosixStoreTest, TransactionThatOneStoreCannotTakeCommitsInNeither) {
    ASSERT_EQ(VelmoraBeginStoreTransaction(), ERROR_SUCCESS);
    {
        RegSection keys("\\Keys", true);
        RegSection temp("\\TempKeys", false);
        EXPECT_TRUE(keys.WriteString("permanent", "x"));
        EXPECT_TRUE(temp.WriteString("temporary", "y"));
    }
    // The disk of the temporary names fills up before the end.
    VelmoraFailStoreWrites(kVelmoraVolatileStore, kStoreFaultFull);
    EXPECT_EQ(VelmoraEndStoreTransaction(1), ERROR_CANTWRITE);
    EXPECT_EQ(VelmoraCommittedStores(), 0u);
    VelmoraFailStoreWrites(kVelmoraVolatileStore, kStoreFaultNone);
    EXPECT_EQ(StoredText("\\Keys", "permanent"), "<missing>");
    EXPECT_EQ(StoredText("\\TempKeys", "temporary"), "<missing>");
}

// A large write that met a full disk leaves none of its pages taking room in the WAL.
TEST_F(PosixStoreTest, TransactionThatFailedLeavesTheWalEmpty) {
    WriteStored("\\Keys", "kept", REG_SZ, std::string("x\0", 2));
    ASSERT_EQ(VelmoraBeginStoreTransaction(), ERROR_SUCCESS);
    {
        RegSection keys("\\Keys", true);
        for (int i = 0; i < 1000; ++i) {
            ASSERT_TRUE(keys.WriteString(("n-" + std::to_string(i)).c_str(),
                                         ("/" + std::string(1000, 'p')).c_str()));
        }
    }
    rlimit saved, full;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    full = {256 * 1024, saved.rlim_max};
    auto handler = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &full), 0);
    LONG ended = VelmoraEndStoreTransaction(1);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, handler);
    EXPECT_EQ(ended, ERROR_CANTWRITE);
    EXPECT_EQ(std::filesystem::file_size(persistentDir_ + "/hkcu.db-wal"), 0u);
    EXPECT_EQ(StoredNames("\\Keys"), std::vector<std::string>{"kept"});
}

TEST_F(PosixStoreTest, TransactionCommitShowsEveryWriteToAnotherProcessAtOnce) {
    ASSERT_EQ(VelmoraBeginStoreTransaction(), ERROR_SUCCESS);
    {
        RegSection keys("\\Keys", true);
        RegSection temp("\\TempKeys", false);
        EXPECT_TRUE(keys.WriteString("first", "x"));
        EXPECT_TRUE(temp.WriteString("second", "y"));
    }
    for (int committed : {0, 1}) {
        if (committed) {
            EXPECT_EQ(VelmoraEndStoreTransaction(1), ERROR_SUCCESS);
        }
        EXPECT_EQ(RunWriter({"read", "\\Keys", "first"}), 1 - committed);
        EXPECT_EQ(RunWriter({"read", "\\TempKeys", "second"}), 1 - committed);
    }
}

TEST_F(PosixStoreTest, WalkSeesWhatAnotherProcessWritesMeanwhile) {
    {
        RegSection keys("\\Keys", true);
        for (int i = 0; i < 40; ++i) {
            keys.WriteString(("mine-" + std::to_string(i)).c_str(), "old");
        }
    }
    RegSection keys("\\Keys", true);
    RegValueCursor cursor(keys);
    TextBuffer name;
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(cursor.Next(name));
    }
    // Another process adds a value and rewrites one the walk has not reached yet.
    EXPECT_EQ(Wait(StartWriter(1, "late")), 0);
    WriteStored("\\Keys", "mine-30", REG_SZ, std::string("new\0", 4));

    std::vector<std::string> rest;
    while (cursor.Next(name)) {
        rest.push_back(name.Text());
    }
    ASSERT_EQ(rest.size(), 21u);
    EXPECT_EQ(rest.back(), "late-0");
    TextBuffer value;
    EXPECT_TRUE(keys.ReadString("mine-30", value));
    EXPECT_STREQ(value.Text(), "new");
}

TEST_F(PosixStoreTest, KilledWriterLeavesConsistentStore) {
    pid_t writer = StartWriter(100000000, "kill");
    // Let it write for a while, then kill it in the middle of whatever it is doing.
    for (int wait = 0; wait < 200 && StoredNames("\\Keys").size() < 200; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(writer, SIGKILL);
    EXPECT_TRUE(WIFSIGNALED(Wait(writer)));

    std::vector<std::string> names = StoredNames("\\Keys");
    ASSERT_GE(names.size(), 200u);
    for (size_t i = 0; i < names.size(); ++i) {
        ASSERT_EQ(names[i], "kill-" + std::to_string(i)) << "values keep their order, no gap";
        ASSERT_EQ(StoredText("\\Keys", names[i].c_str()), "value-of-" + names[i]);
    }
    RegSection keys("\\Keys", true);
    uint32_t count = 0;
    RegValueCursor(keys).Count(count);
    EXPECT_EQ(count, names.size());
    EXPECT_TRUE(keys.WriteString("after", "the store still takes writes"));
}

class PosixModuleTest : public HostTest {};

TEST_F(PosixModuleTest, LookupsAndListingDoNotWaitForAnotherProcessWrite) {
    StartModule();
    ASSERT_EQ(AddName("kept", "/k", true), 0);
    // A new logon: the volatile folder is empty, and another process writes.
    std::filesystem::remove_all(volatileDir_);
    std::filesystem::create_directory(volatileDir_);
    LockPersistentStore();
    TextBuffer target;
    EXPECT_EQ(LookupName("kept", target), 1);
    EXPECT_EQ(LookupName("missing", target), 0);
    ShortcutPanel panel;
    EXPECT_EQ(panel.count, 1u);
    EXPECT_EQ(FaultOf(kVelmoraPersistentStore).kind, kStoreFaultNone);
    EXPECT_EQ(FaultOf(kVelmoraVolatileStore).kind, kStoreFaultNone);
}

}  // namespace

// The file browser is started by a process that starts it and leaves: when no process can be made
// for the browser itself, the module must hear so and jump on the panel instead.
TEST(PosixProcessTest, ABrowserNoProcessCouldBeMadeForIsNotSaidToHaveStarted) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root, to run the start as a user with no other process";
    }
    pid_t child = fork();
    if (child == 0) {
        // The user "nobody" runs nothing else: two processes are this one and the first fork of
        // the start, and the browser's own fork is refused.
        rlimit two = {2, 2};
        if (setgid(65534) != 0 || setuid(65534) != 0 || setrlimit(RLIMIT_NPROC, &two) != 0) {
            _exit(2);
        }
        setenv("VELMORA_FILE_BROWSER", "/bin/true", 1);
        char line[] = "explorer \"/\"";
        STARTUPINFOA startup{};
        PROCESS_INFORMATION process{};
        _exit(CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                             &process)
                  ? 1
                  : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
}
