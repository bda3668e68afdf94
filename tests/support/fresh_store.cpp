// The fresh store for each test, per platform.
#include "fresh_store.h"

#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#else
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>

#include "store_faults.h"
#include "store_transaction.h"
#include "test_hooks.h"
#endif

#ifdef _WIN32

void FreshStoreTest::SetUp() {
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Far\\Plugins\\Velmora");
}

void FreshStoreTest::TearDown() {
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Far\\Plugins\\Velmora");
}

bool FreshStoreTest::HooksAvailable() {
    return false;
}
void FreshStoreTest::FailHeapRequest(unsigned) {}
void FreshStoreTest::FailKeyOpen(const char*) {}
size_t FreshStoreTest::LiveHeapBlocks() {
    return 0;
}
unsigned FreshStoreTest::HeapRequests() {
    return 0;
}
size_t FreshStoreTest::OpenKeys() {
    return 0;
}
void FreshStoreTest::LockPersistentStore() {}
void FreshStoreTest::UnlockPersistentStore() {}

#else

namespace {

std::string MakeTempDir(const char* label) {
    std::string pattern =
        std::filesystem::temp_directory_path().string() + "/velmora-test-" + label + "-XXXXXX";
    char* made = mkdtemp(pattern.data());
    return made != nullptr ? made : "";
}

}  // namespace

void FreshStoreTest::SetUp() {
    persistentDir_ = MakeTempDir("reg");
    volatileDir_ = MakeTempDir("vol");
    setenv("VELMORA_REGISTRY_DIR", persistentDir_.c_str(), 1);
    setenv("VELMORA_VOLATILE_DIR", volatileDir_.c_str(), 1);
    // A write that finds the store locked gives up sooner than a user's would (store.md), here
    // and in the processes the tests start.
    setenv("VELMORA_STORE_BUSY_MS", "250", 1);
    blocksAtStart_ = VelmoraLiveHeapBlocks();
}

void FreshStoreTest::TearDown() {
    UnlockPersistentStore();
    VelmoraFailHeapRequest(0);
    VelmoraFailKeyOpen(nullptr);
    VelmoraFailStore(kVelmoraPersistentStore, kStoreFaultNone);
    VelmoraFailStore(kVelmoraVolatileStore, kStoreFaultNone);
    VelmoraFailStoreWrites(kVelmoraPersistentStore, kStoreFaultNone);
    VelmoraFailStoreWrites(kVelmoraVolatileStore, kStoreFaultNone);
    VelmoraClearStoreFaults();
    // A test that failed inside a transaction leaves none open for the next one.
    VelmoraEndStoreTransaction(0);
    EXPECT_EQ(VelmoraOpenKeys(), 0u) << "a registry key was left open";
    EXPECT_EQ(VelmoraLiveHeapBlocks(), blocksAtStart_) << "heap blocks leaked";
    std::filesystem::remove_all(persistentDir_);
    std::filesystem::remove_all(volatileDir_);
}

bool FreshStoreTest::HooksAvailable() {
    return true;
}
void FreshStoreTest::FailHeapRequest(unsigned n) {
    VelmoraFailHeapRequest(n);
}
void FreshStoreTest::FailKeyOpen(const char* path) {
    VelmoraFailKeyOpen(path);
}
size_t FreshStoreTest::LiveHeapBlocks() {
    return VelmoraLiveHeapBlocks();
}
unsigned FreshStoreTest::HeapRequests() {
    return VelmoraHeapRequests();
}
size_t FreshStoreTest::OpenKeys() {
    return VelmoraOpenKeys();
}

void FreshStoreTest::LockPersistentStore() {
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open((persistentDir_ + "/hkcu.db").c_str(), &other), SQLITE_OK);
    storeLock_ = other;
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
}

void FreshStoreTest::UnlockPersistentStore() {
    auto* other = static_cast<sqlite3*>(storeLock_);
    if (other != nullptr) {
        sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(other);
        storeLock_ = nullptr;
    }
}

void FreshStoreTest::RenameStoredValue(const std::string& from, const std::string& to) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((persistentDir_ + "/hkcu.db").c_str(), &db), SQLITE_OK);
    sqlite3_stmt* rename = nullptr;
    EXPECT_EQ(
        sqlite3_prepare_v2(db, "UPDATE vals SET name = ?1 WHERE name = ?2", -1, &rename, nullptr),
        SQLITE_OK);
    sqlite3_bind_text(rename, 1, to.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(rename, 2, from.c_str(), -1, SQLITE_TRANSIENT);
    EXPECT_EQ(sqlite3_step(rename), SQLITE_DONE);
    EXPECT_EQ(sqlite3_changes(db), 1);
    sqlite3_finalize(rename);
    sqlite3_close(db);
}

#endif
