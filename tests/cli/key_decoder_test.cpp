// The bytes terminals send for the keys the panel and the dialogs use, and the keys they must
// decode to; a wrong entry here is a key that does nothing, or the wrong thing, on the panel.
#include "key_decoder.h"

#include <gtest/gtest.h>

namespace {

Key K(int code, unsigned mods = 0) {
    return {code, mods};
}

TEST(KeyDecoderTest, ControlCharactersAreEnterTabBackspaceAndCtrlLetters) {
    EXPECT_EQ(DecodeKey("\r"), K(kKeyEnter));
    EXPECT_EQ(DecodeKey("\t"), K(kKeyTab));
    EXPECT_EQ(DecodeKey("\x7f"), K(kKeyBackspace));
    EXPECT_EQ(DecodeKey("\x08"), K(kKeyBackspace));
    EXPECT_EQ(DecodeKey("\x12"), K('r', kModCtrl));
    // Ctrl+J is what most terminals that tell Ctrl+Enter apart send for it.
    EXPECT_EQ(DecodeKey("\n"), K('j', kModCtrl));
    EXPECT_EQ(DecodeKey("a"), K('a'));
    EXPECT_EQ(DecodeKey("\xc3"), K(0xc3));
}

TEST(KeyDecoderTest, EscapeBeforeAKeyIsAlt) {
    EXPECT_EQ(DecodeKey("\x1b\r"), K(kKeyEnter, kModAlt));
    EXPECT_EQ(DecodeKey("\x1bp"), K('p', kModAlt));
    EXPECT_EQ(DecodeKey("\x1b"), K(kKeyEscape));
    EXPECT_EQ(DecodeKey("\x1b\x1b"), K(kKeyEscape));
}

TEST(KeyDecoderTest, FunctionKeysInEveryCommonForm) {
    EXPECT_EQ(DecodeKey("\x1bOP"), K(FunctionKey(1)));
    EXPECT_EQ(DecodeKey("\x1bOS"), K(FunctionKey(4)));
    EXPECT_EQ(DecodeKey("\x1b[15~"), K(FunctionKey(5)));
    EXPECT_EQ(DecodeKey("\x1b[18~"), K(FunctionKey(7)));
    EXPECT_EQ(DecodeKey("\x1b[19~"), K(FunctionKey(8)));
    EXPECT_EQ(DecodeKey("\x1b[21~"), K(FunctionKey(10)));
    EXPECT_EQ(DecodeKey("\x1b[24~"), K(FunctionKey(12)));
    EXPECT_EQ(DecodeKey("\x1b[14~"), K(FunctionKey(4)));  // rxvt
    EXPECT_EQ(DecodeKey("\x1b[[D"), K(FunctionKey(4)));   // the Linux console
}

TEST(KeyDecoderTest, ModifiersOnFunctionAndCursorKeys) {
    EXPECT_EQ(DecodeKey("\x1b[1;2S"), K(FunctionKey(4), kModShift));
    EXPECT_EQ(DecodeKey("\x1b[1;5S"), K(FunctionKey(4), kModCtrl));
    EXPECT_EQ(DecodeKey("\x1b[1;3S"), K(FunctionKey(4), kModAlt));
    EXPECT_EQ(DecodeKey("\x1b[19;2~"), K(FunctionKey(8), kModShift));
    EXPECT_EQ(DecodeKey("\x1b[1;6A"), K(kKeyUp, kModCtrl | kModShift));
    EXPECT_EQ(DecodeKey("\x1b[Z"), K(kKeyTab, kModShift));
}

TEST(KeyDecoderTest, ModifiedEnterFromTerminalsThatReportIt) {
    EXPECT_EQ(DecodeKey("\x1b[13;5u"), K(kKeyEnter, kModCtrl));
    EXPECT_EQ(DecodeKey("\x1b[13;2u"), K(kKeyEnter, kModShift));
    EXPECT_EQ(DecodeKey("\x1b[27;5;13~"), K(kKeyEnter, kModCtrl));
    EXPECT_EQ(DecodeKey("\x1b[27;2;13~"), K(kKeyEnter, kModShift));
}

TEST(KeyDecoderTest, EditingKeys) {
    EXPECT_EQ(DecodeKey("\x1b[A"), K(kKeyUp));
    EXPECT_EQ(DecodeKey("\x1bOB"), K(kKeyDown));
    EXPECT_EQ(DecodeKey("\x1b[2~"), K(kKeyInsert));
    EXPECT_EQ(DecodeKey("\x1b[3~"), K(kKeyDelete));
    EXPECT_EQ(DecodeKey("\x1b[H"), K(kKeyHome));
    EXPECT_EQ(DecodeKey("\x1b[4~"), K(kKeyEnd));
    EXPECT_EQ(DecodeKey("\x1b[6~"), K(kKeyPageDown));
}

TEST(KeyDecoderTest, UnknownSequencesDecodeToNoKey) {
    EXPECT_EQ(DecodeKey("\x1b[99~"), K(kKeyNone));
    EXPECT_EQ(DecodeKey("\x1b[?1;2c"), K(kKeyNone));
    EXPECT_EQ(DecodeKey(""), K(kKeyNone));
}

TEST(KeyDecoderTest, ReaderWaitsForTheRestOfASequence) {
    EXPECT_FALSE(KeyComplete("\x1b"));
    EXPECT_FALSE(KeyComplete("\x1b["));
    EXPECT_FALSE(KeyComplete("\x1b[1;2"));
    EXPECT_FALSE(KeyComplete("\x1bO"));
    EXPECT_FALSE(KeyComplete("\x1b[["));
    EXPECT_TRUE(KeyComplete("\x1b[1;2S"));
    EXPECT_TRUE(KeyComplete("\x1b[15~"));
    EXPECT_TRUE(KeyComplete("\x1bOP"));
    EXPECT_TRUE(KeyComplete("\x1b\r"));
    EXPECT_TRUE(KeyComplete("x"));
    // A stream of garbage ends as one unknown key instead of swallowing every later key.
    EXPECT_TRUE(KeyComplete("\x1b[" + std::string(20, '1')));
}

}  // namespace
