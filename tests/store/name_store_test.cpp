// The name store: which section answers, how names with a plugin-command colon are laid out,
// and the codes that come back when a section cannot be had.
#include "store/name_store.h"

#include <string>
#include <vector>

#include "fresh_store.h"
#include "registry_probe.h"
#include "store/errors.h"
#include "store/reg_section.h"

namespace {

class NameStoreTest : public FreshStoreTest {
  protected:
    std::string Lookup(const char* name) {
        TextBuffer target;
        return LookupName(name, target) == 1 ? target.Text() : "<not found>";
    }
};

TEST_F(NameStoreTest, TemporaryNameHidesPermanentOne) {
    ASSERT_EQ(AddName("proj", "D:\\perm", true), 0);
    EXPECT_EQ(Lookup("proj"), "D:\\perm");
    ASSERT_EQ(AddName("proj", "D:\\temp", false), 0);
    EXPECT_EQ(Lookup("proj"), "D:\\temp");
    ASSERT_EQ(AddName("only", "E:\\t", false), 0);
    EXPECT_EQ(Lookup("only"), "E:\\t");
    EXPECT_EQ(StoredText("\\Keys", "proj"), "D:\\perm");
    EXPECT_EQ(StoredText("\\TempKeys", "proj"), "D:\\temp");
}

TEST_F(NameStoreTest, LookupOfAbsentNameLeavesEmptySections) {
    { RegSection root(true); }  // the settings load makes the root persistent first
    TextBuffer target;
    EXPECT_EQ(LookupName("nothing", target), 0);
    EXPECT_STREQ(target.Text(), "");
    EXPECT_TRUE(StoredNames("\\Keys").empty());
    EXPECT_TRUE(StoredNames("\\TempKeys").empty());
    EXPECT_EQ(AddName("nothing", "D:\\p", true), 0) << "the look-up left the store usable";
}

TEST_F(NameStoreTest, ValuesOfOtherTypesCountAsAbsent) {
    WriteStored("\\Keys", "num", REG_DWORD, std::string("\1\0\0\0", 4));
    EXPECT_EQ(Lookup("num"), "<not found>");
    TextBuffer pattern;
    WriteStored("\\Filters", "f", REG_EXPAND_SZ, std::string("*x*\0", 4));
    EXPECT_FALSE(LookupFilter("f", pattern));
}

TEST_F(NameStoreTest, AddSplitsNamesAtTheirLastPluginCommandColon) {
    struct Case {
        const char* name;
        const char* valueName;
        const char* stored;
    } const cases[] = {
        {"ab:cd", "ab:cd", "C:\\p"},       // colon at index 2 is no command
        {"abc:def", "def", "abcC:\\p"},    // the colon itself is dropped
        {"abc::dbl", "dbl", "abc:C:\\p"},  // a doubled colon keeps the first
        {"ab:cd:ef", "ef", "ab:cdC:\\p"},  // split at index 5
    };
    for (const Case& c : cases) {
        ASSERT_EQ(AddName(c.name, "C:\\p", true), 0) << c.name;
        EXPECT_EQ(StoredText("\\Keys", c.valueName), c.stored) << c.name;
    }
    EXPECT_EQ(StoredNames("\\Keys"), InEnumerationOrder({"ab:cd", "def", "dbl", "ef"}));
}

TEST_F(NameStoreTest, AddReplacesSameKindAndLeavesOtherKind) {
    AddName("n", "first", true);
    AddName("n", "second", true);
    AddName("n", "temp", false);
    EXPECT_EQ(StoredNames("\\Keys"), std::vector<std::string>{"n"});
    EXPECT_EQ(StoredText("\\Keys", "n"), "second");
    EXPECT_EQ(StoredText("\\TempKeys", "n"), "temp");
}

TEST_F(NameStoreTest, AddOfEmptyNameCreatesNothing) {
    EXPECT_EQ(AddName("", "D:\\x", true), ErrEmptyName);
    EXPECT_EQ(AddName("abc:", "D:\\x", true), ErrEmptyName) << "nothing behind the split";
    EXPECT_FALSE(KeyExists(""));
}

TEST_F(NameStoreTest, DeleteTakesPermanentFirstThenTemporaryThenReportsNotFound) {
    AddName("both", "perm", true);
    AddName("both", "temp", false);
    EXPECT_EQ(DeleteName("both", false), 0);
    EXPECT_EQ(StoredText("\\Keys", "both"), "<missing>");
    EXPECT_EQ(StoredText("\\TempKeys", "both"), "temp");
    EXPECT_EQ(DeleteName("both", false), 0);
    EXPECT_EQ(StoredText("\\TempKeys", "both"), "<missing>");
    EXPECT_EQ(DeleteName("both", false), ErrNotFound);
}

TEST_F(NameStoreTest, DeleteKeepsFiltersAndNamesApart) {
    WriteStored("\\Filters", "same", REG_SZ, std::string("*w*\0", 4));
    AddName("same", "path", true);
    EXPECT_EQ(DeleteName("same", true), 0);
    EXPECT_EQ(StoredText("\\Keys", "same"), "path");
    EXPECT_EQ(DeleteName("same", true), ErrNotFound);
    WriteStored("\\Filters", "same", REG_SZ, std::string("*w*\0", 4));
    EXPECT_EQ(DeleteName("same", false), 0);
    EXPECT_EQ(StoredText("\\Filters", "same"), "*w*");
}

TEST_F(NameStoreTest, LookupFilterReadsPatternAndLeavesSection) {
    TextBuffer pattern;
    EXPECT_FALSE(LookupFilter("absent", pattern));
    EXPECT_TRUE(StoredNames("\\Filters").empty());
    WriteStored("\\Filters", "web", REG_SZ, std::string("*\\www\\*\0", 9));
    EXPECT_TRUE(LookupFilter("web", pattern));
    EXPECT_STREQ(pattern.Text(), "*\\www\\*");
}

TEST_F(NameStoreTest, PluginCommandPosFindsLastColonOnlyFromIndexThree) {
    EXPECT_EQ(PluginCommandPos(""), 0u);
    EXPECT_EQ(PluginCommandPos("a:"), 0u);
    EXPECT_EQ(PluginCommandPos("ab:"), 0u);
    EXPECT_EQ(PluginCommandPos("D:\\work"), 0u);
    EXPECT_EQ(PluginCommandPos("ab:cd"), 0u);
    EXPECT_EQ(PluginCommandPos("abc:x"), 3u);
    EXPECT_EQ(PluginCommandPos("abc:x:y"), 5u);
    EXPECT_EQ(PluginCommandPos("ab:cd:e"), 5u);
    EXPECT_EQ(PluginCommandPos(nullptr), 0u);
    // A Linux directory may hold colons anywhere; typed as a command it would run them.
    EXPECT_EQ(PluginCommandPos("/tmp/q:;touch x;:"), kSlashRootedPaths ? 0u : 16u);
    EXPECT_EQ(PluginCommandPos("ftp:/srv"), 3u);
    // A server's share, or a "\\?\" path with its drive's colon at index 5.
    EXPECT_EQ(PluginCommandPos("\\\\?\\Z:\\tmp"), 0u);
    EXPECT_EQ(PluginCommandPos("\\\\srv\\a:b"), 0u);
}

TEST_F(NameStoreTest, UnopenableSectionsGiveRegistryCodeOrNotFound) {
    REQUIRE_HOOKS();
    AddName("perm", "P", true);
    AddName("temp", "T", false);
    FailKeyOpen(ModuleKeyPath("\\TempKeys").c_str());
    EXPECT_EQ(Lookup("perm"), "P") << "the search goes on in the permanent names";
    EXPECT_EQ(Lookup("temp"), "<not found>");
    EXPECT_EQ(AddName("x", "y", false), ErrRegistry);
    EXPECT_EQ(DeleteName("temp", false), ErrRegistry);

    FailKeyOpen(ModuleKeyPath("\\Keys").c_str());
    EXPECT_EQ(Lookup("perm"), "<not found>");
    EXPECT_EQ(AddName("x", "y", true), ErrRegistry);
    EXPECT_EQ(DeleteName("perm", false), ErrRegistry);

    FailKeyOpen(ModuleKeyPath("\\Filters").c_str());
    TextBuffer pattern;
    EXPECT_THROW(LookupFilter("f", pattern), terrors_t);
    EXPECT_EQ(DeleteName("f", true), ErrRegistry);
}

TEST_F(NameStoreTest, WritesAndDeletesTheStoreRefusesGiveTheRegistryCode) {
    REQUIRE_HOOKS();
    AddName("both", "perm", true);
    AddName("both", "temp", false);
    LockPersistentStore();
    EXPECT_EQ(AddName("new", "D:\\x", true), ErrRegistry);
    EXPECT_EQ(DeleteName("both", false), ErrRegistry) << "a refusal is no \"not found\"";
    UnlockPersistentStore();
    EXPECT_EQ(StoredText("\\Keys", "new"), "<missing>");
    EXPECT_EQ(StoredText("\\Keys", "both"), "perm");
    EXPECT_EQ(StoredText("\\TempKeys", "both"), "temp") << "the other kind is left alone";
}

TEST_F(NameStoreTest, RefusedHeapAtEveryStepOfAnAddWritesNothingHalf) {
    REQUIRE_HOOKS();
    // Refuse each heap request of a split add in turn until the add needs no more.
    for (unsigned n = 1;; ++n) {
        FailHeapRequest(n);
        int code = AddName("ftp:site", "srv/dir", true);
        FailHeapRequest(0);
        if (code == 0) {
            EXPECT_EQ(StoredText("\\Keys", "site"), "ftpsrv/dir");
            break;
        }
        EXPECT_EQ(code, ErrNoMemory) << "request " << n;
        EXPECT_EQ(StoredText("\\Keys", "site"), "<missing>") << "request " << n;
        ASSERT_LT(n, 20u);
    }
}

}  // namespace
