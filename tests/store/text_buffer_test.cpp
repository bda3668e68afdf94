// TextBuffer and the heap: exact growth, what survives a refused block, zero fill.
#include "store/text_buffer.h"

#include <cstring>
#include <string>

#include "fresh_store.h"
#include "store/errors.h"
#include "store/heap.h"

namespace {

class TextBufferTest : public FreshStoreTest {};

TEST_F(TextBufferTest, NewBufferIsEmptyWithoutBlock) {
    TextBuffer buffer;
    EXPECT_EQ(buffer.data, nullptr);
    EXPECT_EQ(buffer.capacity, 0u);
    EXPECT_STREQ(buffer.Text(), "");
    buffer.Reserve(0);
    EXPECT_EQ(buffer.data, nullptr);
}

TEST_F(TextBufferTest, AssignTakesExactBlockAndKeepsItWhenTextFits) {
    TextBuffer buffer;
    buffer.Assign("");
    EXPECT_EQ(buffer.capacity, 1u);
    EXPECT_STREQ(buffer.data, "");

    buffer.Assign("hello");
    EXPECT_EQ(buffer.capacity, 6u);
    char* block = buffer.data;
    buffer.Assign("world");
    buffer.Assign("hi");
    EXPECT_EQ(buffer.data, block);
    EXPECT_EQ(buffer.capacity, 6u);
    EXPECT_STREQ(buffer.Text(), "hi");
}

TEST_F(TextBufferTest, AppendGrowsExactlyAndKeepsOldTextInFront) {
    TextBuffer buffer;
    buffer.Append("a");
    EXPECT_EQ(buffer.capacity, 2u);
    buffer.Append("bcd").Append("ef");
    EXPECT_STREQ(buffer.Text(), "abcdef");
    EXPECT_EQ(buffer.capacity, 7u);

    buffer.Assign("x");
    char* block = buffer.data;
    buffer.Append("yz");
    EXPECT_EQ(buffer.data, block) << "a text that fits is appended in place";
    EXPECT_STREQ(buffer.Text(), "xyz");
}

TEST_F(TextBufferTest, ReserveReplacesBlockFromCapacityUpOnly) {
    TextBuffer buffer;
    buffer.Assign("0123456789");
    buffer.Reserve(5);
    EXPECT_STREQ(buffer.Text(), "0123456789") << "a smaller request changes nothing";
    buffer.Reserve(11);
    EXPECT_EQ(buffer.capacity, 11u);
    EXPECT_STREQ(buffer.Text(), "") << "an equal request gives a fresh, empty block";
    buffer.Reserve(260);
    EXPECT_EQ(buffer.capacity, 260u);
    for (uint32_t i = 0; i < buffer.capacity; ++i) {
        ASSERT_EQ(buffer.data[i], '\0');
    }
}

TEST_F(TextBufferTest, RefusedHeapLeavesAppendUnchangedAndAssignEmpty) {
    REQUIRE_HOOKS();
    TextBuffer buffer;
    buffer.Assign("keep");

    FailHeapRequest(1);
    EXPECT_THROW(buffer.Append(" more"), terrors_t);
    EXPECT_STREQ(buffer.Text(), "keep");
    EXPECT_EQ(buffer.capacity, 5u);

    FailHeapRequest(1);
    try {
        buffer.Assign("a longer text");
        FAIL() << "Assign should throw";
    } catch (terrors_t code) {
        EXPECT_EQ(code, ErrNoMemory);
    }
    EXPECT_EQ(buffer.data, nullptr);
    EXPECT_EQ(buffer.capacity, 0u);

    buffer.Assign("again");
    FailHeapRequest(1);
    EXPECT_THROW(buffer.Reserve(100), terrors_t);
    EXPECT_EQ(buffer.data, nullptr);
    EXPECT_EQ(buffer.capacity, 0u);
}

TEST_F(TextBufferTest, MemReallocKeepsBytesAndZeroesGrowth) {
    auto* block = static_cast<unsigned char*>(MemRealloc(nullptr, 4));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::memcmp(block, "\0\0\0\0", 4), 0);
    std::memset(block, 0xAB, 4);
    block = static_cast<unsigned char*>(MemRealloc(block, 4096));
    ASSERT_NE(block, nullptr);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(block[i], 0xAB);
    }
    for (int i = 4; i < 4096; ++i) {
        ASSERT_EQ(block[i], 0) << "at " << i;
    }
    MemFree(block);
    MemFree(nullptr);
}

TEST_F(TextBufferTest, RefusedReallocLeavesOldBlockOwned) {
    REQUIRE_HOOKS();
    auto* block = static_cast<char*>(MemAlloc(8));
    std::strcpy(block, "abc");
    FailHeapRequest(1);
    EXPECT_EQ(MemRealloc(block, 64), nullptr);
    EXPECT_STREQ(block, "abc");
    MemFree(block);
}

struct Throwing {
    Throwing() { throw ErrNoMemory; }
};

TEST_F(TextBufferTest, MemNewReleasesBlockWhenConstructionThrows) {
    EXPECT_THROW(MemNew<Throwing>(), terrors_t);
    TextBuffer* buffer = MemNew<TextBuffer>();
    ASSERT_NE(buffer, nullptr);
    buffer->Assign("on the heap");
    MemDelete(buffer);
    // The fixture's leak check proves both blocks went back.
}

}  // namespace
