// Hotkey marks and cutting texts to columns, as the windows and the panel show them.
#include "screen_text.h"

#include <gtest/gtest.h>

namespace {

TEST(ScreenTextTest, AmpersandMarksTheHotkeyAndDoubledStandsForItself) {
    HotkeyText prefix = StripHotkey("&Prefix:");
    EXPECT_EQ(prefix.text, "Prefix:");
    EXPECT_EQ(prefix.hotkeyOffset, 0);
    EXPECT_EQ(prefix.hotkey, 'p');

    HotkeyText inner = StripHotkey("Show &error messages");
    EXPECT_EQ(inner.text, "Show error messages");
    EXPECT_EQ(inner.hotkeyOffset, 5);
    EXPECT_EQ(inner.hotkey, 'e');

    HotkeyText doubled = StripHotkey("Tom && &Jerry");
    EXPECT_EQ(doubled.text, "Tom & Jerry");
    EXPECT_EQ(doubled.hotkey, 'j');

    HotkeyText none = StripHotkey("plain&");
    EXPECT_EQ(none.text, "plain&");
    EXPECT_EQ(none.hotkeyOffset, -1);
}

TEST(ScreenTextTest, StoredControlCharactersCannotReachTheTerminal) {
    EXPECT_EQ(FitToWidth("a\x1b[2Jb\nc", 20, false), "a?[2Jb?c");
}

TEST(ScreenTextTest, CutsToColumnsAndPads) {
    EXPECT_EQ(FitToWidth("/home/user/projects", 10, false), "/home/user");
    EXPECT_EQ(FitToWidth("ab", 4, false, true), "ab  ");
    EXPECT_EQ(FitToWidth("ab", 0, false, true), "");
}

TEST(ScreenTextTest, Utf8CharactersCountAsOneColumnAndAreNotSplit) {
    const std::string word = "\xc3\xa9t\xc3\xa9";  // "été"
    EXPECT_EQ(DisplayWidth(word, true), 3);
    EXPECT_EQ(DisplayWidth(word, false), 5);
    EXPECT_EQ(FitToWidth(word, 1, true), "\xc3\xa9");
    EXPECT_EQ(FitToWidth(word, 2, true, true), "\xc3\xa9t");
    EXPECT_EQ(NextCharacter(word, 0, true), 2u);
    EXPECT_EQ(PreviousCharacter(word, 5, true), 3u);
    EXPECT_EQ(PreviousCharacter(word, 5, false), 4u);
}

}  // namespace
