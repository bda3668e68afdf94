// The POSIX registry store as a durable, private, shared database: where it lives, what a
// killed writer or two writers at once leave behind, and what a damaged or locked file gives.
#include <signal.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "fresh_store.h"
#include "platform.h"
#include "registry_probe.h"
#include "store/errors.h"
#include "store/reg_section.h"
#include "store_faults.h"
#include "test_hooks.h"

extern char** environ;

namespace {

class PosixStoreTest : public FreshStoreTest {
  protected:
    // Starts tests/platform/store_writer.cpp with COUNT, PREFIX and `more` arguments.
    pid_t StartWriter(long count, const std::string& prefix, std::vector<std::string> more = {}) {
        std::vector<std::string> args = {STORE_WRITER_PATH, std::to_string(count), prefix};
        args.insert(args.end(), more.begin(), more.end());
        std::vector<char*> argv;
        for (std::string& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        pid_t pid = 0;
        EXPECT_EQ(posix_spawn(&pid, STORE_WRITER_PATH, nullptr, nullptr, argv.data(), environ), 0);
        return pid;
    }

    int Wait(pid_t pid) {
        int status = 0;
        waitpid(pid, &status, 0);
        return status;
    }

    struct Fault {
        int kind;
        std::string text;
    };
    static Fault FaultOf(int store) {
        char text[512];
        int kind = VelmoraStoreFault(store, text, sizeof text);
        return {kind, text};
    }

    static mode_t Mode(const std::string& path) {
        struct stat info {};
        stat(path.c_str(), &info);
        return info.st_mode & 0777;
    }
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

TEST_F(PosixStoreTest, KeysCreatedOnTheWayTakeTheVolatileOption) {
    { RegSection temp("\\TempKeys", false); }
    // The root was created volatile with it, so it goes with the runtime store too.
    std::filesystem::remove_all(volatileDir_);
    EXPECT_FALSE(KeyExists(""));
}

TEST_F(PosixStoreTest, NoPersistentKeyBelowVolatileOne) {
    { RegSection temp("\\TempKeys", false); }
    EXPECT_THROW(RegSection keys("\\Keys", true), terrors_t);
    EXPECT_NO_THROW(RegSection more("\\More", false));
}

TEST_F(PosixStoreTest, EnumerationFollowsFirstWrite) {
    RegSection keys("\\Keys", true);
    for (const char* name : {"c", "a", "b"}) {
        keys.WriteString(name, "1");
    }
    keys.WriteString("A", "rewritten keeps its place");
    keys.DeleteValue("c");
    keys.WriteString("c", "deleted and added again goes last");
    EXPECT_EQ(StoredNames("\\Keys"), (std::vector<std::string>{"a", "b", "c"}));
}

TEST_F(PosixStoreTest, StoreFilesArePrivateToTheUser) {
    { RegSection keys("\\Keys", true); }
    { RegSection temp("\\TempKeys", false); }
    EXPECT_EQ(Mode(persistentDir_ + "/hkcu.db"), 0600u);
    EXPECT_EQ(Mode(volatileDir_ + "/hkcu.db"), 0600u);
    EXPECT_EQ(Mode(persistentDir_ + "/hkcu.db-wal"), 0600u);
}

TEST_F(PosixStoreTest, LocationsFollowTheEnvironment) {
    std::string config = persistentDir_ + "/config";
    std::string runtime = volatileDir_ + "/runtime";
    unsetenv("VELMORA_REGISTRY_DIR");
    unsetenv("VELMORA_VOLATILE_DIR");
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    { RegSection temp("\\TempKeys", false); }
    EXPECT_TRUE(std::filesystem::exists(config + "/velmora/registry/hkcu.db"));
    EXPECT_TRUE(std::filesystem::exists(runtime + "/velmora/registry/hkcu.db"));
    EXPECT_EQ(Mode(config + "/velmora/registry"), 0700u);
    unsetenv("XDG_CONFIG_HOME");
    unsetenv("XDG_RUNTIME_DIR");
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
    EXPECT_EQ(fault.text, damaged + "/hkcu.db is damaged");
}

TEST_F(PosixStoreTest, FaultNamesTheFolderThatCannotBeMadeUntilCleared) {
    std::string file = persistentDir_ + "/file";
    std::ofstream(file) << "x";
    setenv("VELMORA_REGISTRY_DIR", (file + "/registry").c_str(), 1);
    EXPECT_THROW(RegSection root(true), terrors_t);
    Fault fault = FaultOf(kVelmoraPersistentStore);
    EXPECT_EQ(fault.kind, kStoreFaultCannotOpen);
    EXPECT_EQ(fault.text, file + "/registry cannot be opened: Not a directory");
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
    EXPECT_EQ(fault.text, volatileDir_ + "/hkcu.db cannot grow: the disk is full");
    EXPECT_TRUE(root.WriteString("other", "the persistent store is not touched"));
    VelmoraFailStore(kVelmoraVolatileStore, kStoreFaultNone);
    EXPECT_NO_THROW(RegSection temp("\\TempKeys", false));
}

TEST_F(PosixStoreTest, TmpFolderOfAnotherOwnerIsNotOurs) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "only root can act as another user";
    }
    // A user nobody has, different per test process so that parallel runs do not meet.
    uid_t user = 200000 + getpid() % 100000;
    std::string base = "/tmp/velmora-" + std::to_string(user);
    std::filesystem::remove_all(base);
    ASSERT_EQ(mkdir(base.c_str(), 0700), 0);
    ASSERT_EQ(chown(persistentDir_.c_str(), user, user), 0);
    pid_t pid = fork();
    if (pid == 0) {
        unsetenv("VELMORA_VOLATILE_DIR");
        unsetenv("XDG_RUNTIME_DIR");
        if (setgid(user) == 0 && setuid(user) == 0) {
            execl(STORE_WRITER_PATH, STORE_WRITER_PATH, "1", "temp", "\\TempKeys", "volatile",
                  nullptr);
        }
        _exit(3);
    }
    int status = Wait(pid);
    std::filesystem::remove_all(base);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 10 + kStoreFaultNotOurs);
}

TEST_F(PosixStoreTest, LockedDatabaseGivesBusyStatus) {
    { RegSection keys("\\Keys", true); }
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open((persistentDir_ + "/hkcu.db").c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    {
        RegSection keys("\\Keys", true);
        EXPECT_FALSE(keys.WriteString("blocked", "x"));
    }
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    RegSection keys("\\Keys", true);
    EXPECT_TRUE(keys.WriteString("free", "x"));
}

TEST_F(PosixStoreTest, TwoWritersAtOnceLoseNothing) {
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

}  // namespace
