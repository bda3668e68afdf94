// Hotkey marks and cutting texts to columns, as the windows and the panel show them, and control
// bytes shown in written lines.
#include "screen_text.h"
#include "visible_text.h"

#include <gtest/gtest.h>

#include <clocale>

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
    // Written lines show them instead: C0, DEL, C1 as a byte and as UTF-8, and an overlong form
    // of one; UTF-8 letters whose bytes fall in the C1 range stay letters ("ğ" is C4 9F).
    EXPECT_EQ(VisibleText("a\x1b]0;x\x07\x7f \x9b"
                          "1m \xc2\x9b"
                          "2m \xe0\x82\x9b \xc4\x9f\xc3\xa9"),
              "a\\x1b]0;x\\x07\\x7f \\x9b1m \\xc2\\x9b2m \xe0\\x82\\x9b \xc4\x9f\xc3\xa9");
    // Losslessly, a backslash is doubled, so that "\x1b" typed into a name stays apart from ESC.
    EXPECT_EQ(VisibleText("a\\x1b\tb", true), "a\\\\x1b\\x09b");
    EXPECT_EQ(VisibleText("a\\b"), "a\\b");
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

TEST(ScreenTextTest, WideCharactersTakeTheirColumnsAndACutIsMarked) {
    ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
    const std::string city = "東京都";
    EXPECT_EQ(DisplayWidth(city, true), 6);
    EXPECT_EQ(DisplayWidth("e\xcc\x81", true), 1);  // "e" and a combining acute
    // A character of two columns never stands across the edge.
    EXPECT_EQ(FitToWidth(city, 3, true, true), "東 ");
    EXPECT_EQ(CutToWidth(city, 5, true), "東京…");
    EXPECT_EQ(CutToWidth("alpha-src-main-branch-1", 10, true), "alpha-src…");
    EXPECT_EQ(CutToWidth("alpha-src-main-branch-1", 10, false), "alpha-s...");
    EXPECT_EQ(CutToWidth("alpha-src", 9, true), "alpha-src");
    // Paths below one long folder keep the ends that tell them apart.
    const std::string base = "/home/user/work/clients/acme/";
    EXPECT_EQ(CutInMiddle(base + "web", 16, true), "/home…s/acme/web");
    EXPECT_NE(CutInMiddle(base + "api", 16, true), CutInMiddle(base + "web", 16, true));
    EXPECT_EQ(CutInMiddle("/srv/東京都", 8, true), "/sr…京都");
    EXPECT_EQ(CutInMiddle(base + "web", 16, false), "/hom.../acme/web");
}

TEST(ScreenTextTest, WrappedLinesBreakAtBlanksAndKeepEveryCharacter) {
    ASSERT_NE(std::setlocale(LC_CTYPE, "C.UTF-8"), nullptr);
    EXPECT_EQ(WrapToWidth("F8 delete the name or filter", 12, true),
              (std::vector<std::string>{"F8 delete", "the name or", "filter"}));
    EXPECT_EQ(WrapToWidth("/home/user/projects", 8, false),
              (std::vector<std::string>{"/home/us", "er/proje", "cts"}));
    EXPECT_EQ(WrapToWidth("東京都", 3, true), (std::vector<std::string>{"東", "京", "都"}));
    EXPECT_EQ(WrapToWidth("", 5, true), std::vector<std::string>{""});
}

}  // namespace
