// Registry sections: create-or-open, typed reads, the read-size protocol, the value cursor.
#include "store/reg_section.h"

#include <string>
#include <vector>

#include "fresh_store.h"
#include "registry_probe.h"
#include "store/errors.h"
#include "store_faults.h"
#include "test_hooks.h"

namespace {

class RegSectionTest : public FreshStoreTest {};

TEST_F(RegSectionTest, FirstWriteToASubsectionLeavesItStored) {
    EXPECT_FALSE(KeyExists(""));
    RegSection keys("\\Keys", true);
    RegValueCursor cursor(keys);
    uint32_t count = 99;
    EXPECT_TRUE(cursor.Count(count));
    EXPECT_EQ(count, 0u) << "a section just opened reads as empty";
    // Whether the opening itself made the key is the store's choice: the Linux store makes it
    // at the first write, so that reads never write.
    EXPECT_TRUE(keys.WriteString("first", "x"));
    EXPECT_TRUE(KeyExists("\\Keys"));
}

TEST_F(RegSectionTest, TextsAndNumbersRoundTripWithTheirTypes) {
    RegSection root(true);
    EXPECT_TRUE(root.WriteString("Empty", ""));
    EXPECT_TRUE(root.WriteString("Path", "D:\\work"));
    EXPECT_TRUE(root.WriteDword("Number", 0xDEADBEEF));

    StoredValue empty;
    ASSERT_TRUE(ReadStored("", "Empty", &empty));
    EXPECT_EQ(empty.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(empty.data, std::string(1, '\0')) << "the empty text is stored as its zero byte";

    TextBuffer text;
    EXPECT_TRUE(root.ReadString("Path", text));
    EXPECT_STREQ(text.Text(), "D:\\work");
    DWORD number = 0;
    EXPECT_TRUE(root.ReadDword("Number", number));
    EXPECT_EQ(number, 0xDEADBEEFu);
}

TEST_F(RegSectionTest, ReadsAreTypedAndMissingValuesFail) {
    RegSection root(true);
    root.WriteString("Text", "1");
    root.WriteDword("Number", 1);
    TextBuffer text;
    DWORD number = 0;
    EXPECT_FALSE(root.ReadString("Number", text));
    EXPECT_FALSE(root.ReadDword("Text", number));
    EXPECT_FALSE(root.ReadString("Missing", text));
    EXPECT_STREQ(text.Text(), "") << "a missing value leaves a fresh small buffer empty";
    EXPECT_FALSE(root.ReadDword("Missing", number));
    WriteStored("", "Binary", REG_BINARY, std::string("\1\0\0\0", 4));
    EXPECT_FALSE(root.ReadDword("Binary", number)) << "the type decides, not the size";
}

// Only a value that is missing or of another type may be replaced by its reader.
TEST_F(RegSectionTest, AValueThatCannotBeReadIsToldFromAMissingOne) {
    RegSection root(true);
    root.WriteString("Text", "1");
    WriteStored("", "Wide", REG_DWORD, std::string(8, '\1'));
    TextBuffer text;
    DWORD number = 0;
    bool failed = true;
    for (const char* name : {"Missing", "Text"}) {
        EXPECT_FALSE(root.ReadDword(name, number, &failed));
        EXPECT_FALSE(failed) << name;
    }
    EXPECT_FALSE(root.ReadString("Wide", text, &failed));
    EXPECT_FALSE(failed);
    EXPECT_FALSE(root.ReadDword("Wide", number, &failed));
    EXPECT_TRUE(failed) << "a number longer than its type";
#ifndef _WIN32
    VelmoraFailStore(kVelmoraPersistentStore, kStoreFaultIoError);
    EXPECT_FALSE(root.ReadString("Text", text, &failed));
    VelmoraFailStore(kVelmoraPersistentStore, kStoreFaultNone);
    EXPECT_TRUE(failed) << "a store that failed to read";
#endif
}

TEST_F(RegSectionTest, LongTextIsReadWholeIntoBlockOfItsSize) {
    std::string longText(299, 'x');
    RegSection root(true);
    root.WriteString("Long", longText.c_str());
    TextBuffer text;
    ASSERT_TRUE(root.ReadString("Long", text));
    EXPECT_EQ(text.Text(), longText);
    EXPECT_EQ(text.capacity, 300u);
}

TEST_F(RegSectionTest, TextWithoutZeroByteIsDeliveredTerminated) {
    for (size_t length : {5u, 259u, 260u, 261u, 520u}) {
        std::string raw(length, 'q');
        WriteStored("", "Raw", REG_SZ, raw);
        RegSection root(true);
        TextBuffer text;
        ASSERT_TRUE(root.ReadString("Raw", text)) << length;
        EXPECT_EQ(std::string(text.Text()), raw) << length;
    }
}

TEST_F(RegSectionTest, ReadIntoLargerBlockReplacesOldTextCompletely) {
    RegSection root(true);
    root.WriteString("Long", std::string(400, 'L').c_str());
    root.WriteString("Short", "s");
    WriteStored("", "NoZero", REG_SZ, "ab");
    TextBuffer text;
    ASSERT_TRUE(root.ReadString("Long", text));
    ASSERT_TRUE(root.ReadString("Short", text));
    EXPECT_STREQ(text.Text(), "s");
    ASSERT_TRUE(root.ReadString("NoZero", text));
    EXPECT_STREQ(text.Text(), "ab");
}

// What a program that exports and imports the store reads and writes: every type, whole.
TEST_F(RegSectionTest, ValuesOfEveryTypeAreReadWrittenAndWalkedWhole) {
    std::string blob(700, '\0');
    for (size_t i = 0; i < blob.size(); i += 3) {
        blob[i] = static_cast<char>(i);
    }
    const std::string text = std::string(600, 't') + '\0';
    RegSection keys("\\Keys", true);
    ASSERT_TRUE(keys.WriteValue("blob", REG_BINARY, blob.data(), static_cast<DWORD>(blob.size())));
    ASSERT_TRUE(keys.WriteValue("text", REG_SZ, text.data(), static_cast<DWORD>(text.size())));
    ASSERT_TRUE(keys.WriteDword("number", 7));
    TextBuffer data;
    DWORD type = REG_NONE;
    DWORD size = 0;
    ASSERT_EQ(keys.ReadValue("blob", type, data, size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(std::string(data.data, size), blob);
    EXPECT_EQ(keys.ReadValue("missing", type, data, size), ERROR_FILE_NOT_FOUND);

    RegValueCursor cursor(keys);
    TextBuffer name;
    std::vector<std::string> walked;
    while (cursor.Next(name, type, data, size)) {
        walked.push_back(std::string(name.Text()) + "=" + std::to_string(type) + ":" +
                         std::string(data.data, size));
        EXPECT_EQ(data.data[size], '\0') << "terminated past its bytes";
    }
    EXPECT_EQ(cursor.status, ERROR_NO_MORE_ITEMS);
    const std::string number("\7\0\0\0", 4);
    EXPECT_EQ(walked, InEnumerationOrder({"blob=" + std::to_string(REG_BINARY) + ":" + blob,
                                          "text=" + std::to_string(REG_SZ) + ":" + text,
                                          "number=" + std::to_string(REG_DWORD) + ":" + number}));
}

TEST_F(RegSectionTest, DeleteValueReportsWhetherItDeleted) {
    RegSection root(true);
    root.WriteString("Gone", "x");
    EXPECT_EQ(root.DeleteValue("Gone"), ERROR_SUCCESS);
    EXPECT_EQ(root.DeleteValue("Gone"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(StoredText("", "Gone"), "<missing>");
}

TEST_F(RegSectionTest, CursorEnumeratesInWrittenOrderAndStopsAtEnd) {
    RegSection keys("\\Keys", true);
    RegValueCursor empty(keys);
    uint32_t count = 99;
    EXPECT_TRUE(empty.Count(count));
    EXPECT_EQ(count, 0u);
    TextBuffer name;
    EXPECT_FALSE(empty.Next(name));

    std::string longName(300, 'n');
    for (const char* value : {"zeta", "alpha", longName.c_str(), "mid"}) {
        keys.WriteString(value, "x");
    }
    // The same value: case is not significant. Which spelling it keeps is the store's: the
    // system's registry keeps the first, the Linux store takes the last.
    keys.WriteString("ALPHA", "rewritten");
    RegValueCursor cursor(keys);
    ASSERT_TRUE(cursor.Count(count));
    EXPECT_EQ(count, 4u);
    std::vector<std::string> names;
    while (cursor.Next(name)) {
        names.push_back(name.Text());
        if (names.back() == "ALPHA") {
            names.back() = "alpha";
        }
    }
    EXPECT_EQ(names, InEnumerationOrder({"zeta", "alpha", longName, "mid"}));
    EXPECT_EQ(cursor.index, 4u);
    EXPECT_FALSE(cursor.Next(name));
    EXPECT_EQ(cursor.index, 4u);
}

#ifndef _WIN32
TEST_F(RegSectionTest, CursorDeliversANameLongerThanTheRegistryHoldsAndGoesOn) {
    // The registry refuses such names, but a store written by other means may hold one.
    RegSection keys("\\Keys", true);
    for (const char* name : {"first", "odd", "last"}) {
        keys.WriteString(name, "x");
    }
    const std::string longName(20000, 'n');
    RenameStoredValue("odd", longName);
    RegValueCursor cursor(keys);
    TextBuffer name;
    std::vector<std::string> names;
    while (cursor.Next(name)) {
        names.push_back(name.Text());
    }
    ASSERT_EQ(names.size(), 3u);
    EXPECT_EQ(names[0], "first");
    EXPECT_TRUE(names[1] == longName) << "a name of " << names[1].size() << " bytes";
    EXPECT_EQ(names[2], "last");
}
#endif

TEST_F(RegSectionTest, KeyThatCannotBeOpenedThrowsRegistryCode) {
    REQUIRE_HOOKS();
    FailKeyOpen("Software\\Far\\Plugins\\Velmora\\Filters");
    try {
        RegSection filters("\\Filters", true);
        FAIL() << "the section should not open";
    } catch (terrors_t code) {
        EXPECT_EQ(code, ErrRegistry);
    }
    EXPECT_NO_THROW(RegSection keys("\\Keys", true));
}

TEST_F(RegSectionTest, RefusedHeapWhileBuildingPathThrowsMemoryCode) {
    REQUIRE_HOOKS();
    FailHeapRequest(1);
    try {
        RegSection keys("\\Keys", true);
        FAIL() << "the section should not open";
    } catch (terrors_t code) {
        EXPECT_EQ(code, ErrNoMemory);
    }
    EXPECT_FALSE(KeyExists("\\Keys"));
}

TEST_F(RegSectionTest, RefusedHeapDuringReadLeavesSectionToItsOwner) {
    REQUIRE_HOOKS();
    {
        RegSection root(true);
        root.WriteString("Text", "value");
        TextBuffer text;
        FailHeapRequest(1);
        EXPECT_THROW(root.ReadString("Text", text), terrors_t);
        RegValueCursor cursor(root);
        FailHeapRequest(1);
        EXPECT_THROW(cursor.Next(text), terrors_t);
        EXPECT_EQ(cursor.index, 0u);
    }
    EXPECT_EQ(OpenKeys(), 0u);
}

}  // namespace
