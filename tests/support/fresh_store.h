// A fresh, empty store for each test: on POSIX a new pair of temporary directories for the
// persistent and the volatile database; on Windows the module's registry tree deleted.
// Also the platform's failure hooks and leak counters, where the platform has them.
#pragma once

#include <gtest/gtest.h>

#include <string>

class FreshStoreTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Whether the platform offers the failure hooks (POSIX only); tests of failure paths skip
    // themselves where it does not.
    static bool HooksAvailable();
    // The Nth heap request from now fails.
    static void FailHeapRequest(unsigned n);
    static void FailKeyOpen(const char* path);
    static size_t LiveHeapBlocks();
    // Heap requests made so far; a run that made fewer than n since FailHeapRequest(n) never
    // met the refusal.
    static unsigned HeapRequests();
    static size_t OpenKeys();
    // Another connection takes the persistent store's write lock (POSIX): from then on every
    // write there waits out the store's busy time and is refused, while reads and the opening
    // of existing keys go on. TearDown lets go of it.
    void LockPersistentStore();
    void UnlockPersistentStore();
    // Renames a value of the persistent store behind the registry's back (POSIX), as older
    // code or another program may have left it, e.g. with a name longer than the registry holds.
    void RenameStoredValue(const std::string& from, const std::string& to);

    std::string persistentDir_;
    std::string volatileDir_;
    size_t blocksAtStart_ = 0;

  private:
    void* storeLock_ = nullptr;
};

// Skips a failure-path test where the hooks are missing.
#define REQUIRE_HOOKS()                                  \
    do {                                                 \
        if (!HooksAvailable())                           \
            GTEST_SKIP() << "no platform failure hooks"; \
    } while (0)
