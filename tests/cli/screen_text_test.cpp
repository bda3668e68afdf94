// Hotkey marks, cutting and wrapping texts to columns and the colours they are drawn in, as the
// windows and the panel show them, and control bytes shown in written lines.
#include "colours.h"
#include "screen_text.h"
#include "visible_text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

namespace {

// WCAG's contrast of two colours given as 0xRRGGBB.
double Contrast(unsigned first, unsigned second) {
    auto luminance = [](unsigned rgb) {
        double sum = 0;
        const double weights[] = {0.2126, 0.7152, 0.0722};
        for (int channel = 0; channel < 3; ++channel) {
            double c = ((rgb >> (16 - 8 * channel)) & 0xFF) / 255.0;
            c = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
            sum += weights[channel] * c;
        }
        return sum;
    };
    double a = luminance(first) + 0.05, b = luminance(second) + 0.05;
    return a > b ? a / b : b / a;
}

TEST(ScreenTextTest, EveryTextStandsOutFromItsBackgroundInTheStandardPalettes) {
    // The eight colours and their bright variants, which bold text takes: VGA's and xterm's.
    const unsigned kVga[2][8] = {
        {0x000000, 0xAA0000, 0x00AA00, 0xAA5500, 0x0000AA, 0xAA00AA, 0x00AAAA, 0xAAAAAA},
        {0x555555, 0xFF5555, 0x55FF55, 0xFFFF55, 0x5555FF, 0xFF55FF, 0x55FFFF, 0xFFFFFF}};
    const unsigned kXterm[2][8] = {
        {0x000000, 0xCD0000, 0x00CD00, 0xCDCD00, 0x0000EE, 0xCD00CD, 0x00CDCD, 0xE5E5E5},
        {0x7F7F7F, 0xFF0000, 0x00FF00, 0xFFFF00, 0x5C5CFF, 0xFF00FF, 0x00FFFF, 0xFFFFFF}};
    for (const auto* palette : {kVga, kXterm}) {
        for (const Colours& colours : kColours) {
            double contrast = Contrast(palette[colours.bold ? 1 : 0][colours.foreground],
                                       palette[0][colours.background]);
            EXPECT_GE(contrast, 4.5) << "paint " << static_cast<int>(colours.paint);
        }
    }
}

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
