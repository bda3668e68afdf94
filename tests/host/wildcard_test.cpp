// The stand-in host's wildcard comparison: stars, question marks, sets, letter case, the path
// part of the compared text, UTF-8 texts as far2l reads them, and patterns that would take
// exponential time if matched naively.
#include "wildcard.h"

#include <chrono>
#include <string>

#include <gtest/gtest.h>

namespace {

bool Matches(const char* pattern, const char* string) {
    return CmpNameWildcard(pattern, string, 0) != 0;
}

TEST(WildcardTest, StarMatchesAnyRunIncludingNone) {
    EXPECT_TRUE(Matches("*", ""));
    EXPECT_TRUE(Matches("*", "D:\\work\\proj"));
    EXPECT_TRUE(Matches("D:\\work*", "D:\\work"));
    EXPECT_TRUE(Matches("D:\\work*", "D:\\work\\proj\\src"));
    EXPECT_TRUE(Matches("*\\src", "D:\\work\\proj\\src"));
    EXPECT_TRUE(Matches("*proj*", "D:\\work\\proj\\src"));
    EXPECT_TRUE(Matches("a**b", "ab"));
}

TEST(WildcardTest, StarRetriesLaterOccurrencesOfWhatFollowsIt) {
    EXPECT_TRUE(Matches("*ab", "aab"));
    EXPECT_TRUE(Matches("*abc", "ababc"));
    EXPECT_TRUE(Matches("a*b*c", "aXbYbZc"));
    EXPECT_TRUE(Matches("*.txt", "notes.txt.txt"));
}

TEST(WildcardTest, QuestionMarkMatchesExactlyOneCharacter) {
    EXPECT_TRUE(Matches("?:\\work", "D:\\work"));
    EXPECT_TRUE(Matches("a?c", "a\\c"));
    EXPECT_FALSE(Matches("a?c", "ac"));
    EXPECT_FALSE(Matches("a?c", "abbc"));
    EXPECT_FALSE(Matches("?", ""));
    EXPECT_TRUE(Matches("*?", "x"));
    EXPECT_FALSE(Matches("*??", "x"));
}

TEST(WildcardTest, AsciiLettersMatchWithoutRegardToCase) {
    EXPECT_TRUE(Matches("d:\\WORK\\*", "D:\\work\\Proj"));
    EXPECT_TRUE(Matches("*.TXT", "a.txt"));
    // Bytes outside ASCII have no case here: 0xC0 and 0xE0 are one letter in two cases in
    // code page 1251, but the comparison must not guess at the code page.
    EXPECT_TRUE(Matches("\xC0", "\xC0"));
    EXPECT_FALSE(Matches("\xC0", "\xE0"));
    // A fold that merely sets bit 0x20 would also pair '@' with '`' and '[' with '{'.
    EXPECT_FALSE(Matches("@", "`"));
    EXPECT_FALSE(Matches("[", "{"));
}

// Each case as far2l 2.6.5 answered it.
TEST(WildcardTest, SetsHoldCharactersAndRangesAsTheHostsReadThem) {
    EXPECT_TRUE(Matches("b[R]a", "bra"));
    EXPECT_TRUE(Matches("b[a-cr]a", "bra"));
    EXPECT_TRUE(Matches("b[A-C]a", "bba"));
    EXPECT_FALSE(Matches("b[q-s]a", "bxa"));
    // No negation: '!' and '^' are members.
    EXPECT_TRUE(Matches("b[!r]a", "bra"));
    EXPECT_TRUE(Matches("b[!r]a", "b!a"));
    EXPECT_TRUE(Matches("b[]]a", "b]a"));
    EXPECT_FALSE(Matches("b[]a", "b]a"));
    EXPECT_TRUE(Matches("b[-x]a", "b-a"));
    EXPECT_TRUE(Matches("b[x-]a", "b-a"));
    // A backward range holds its first character alone.
    EXPECT_TRUE(Matches("b[z-x]a", "bza"));
    EXPECT_FALSE(Matches("b[z-x]a", "bxa"));
    // Without a ']' behind it, '[' is a character.
    EXPECT_TRUE(Matches("b[ra", "b[ra"));
    EXPECT_TRUE(Matches("*[[]a]", "x[a]"));
}

// far2l's texts; far2l runs on Linux alone, and the Windows hosts hand the module 8-bit texts.
#ifndef _WIN32
TEST(WildcardTest, Utf8TextsFoldEveryLetterAndCountCharactersNotBytes) {
    auto matches = [](const char* pattern, const char* string) {
        return CmpNameWildcard(pattern, string, 0, WildcardText::kUtf8) != 0;
    };
    EXPECT_TRUE(matches("écoles*", "Écoles"));
    EXPECT_TRUE(matches("?a", "éa"));
    EXPECT_TRUE(matches("b[é]a", "bÉa"));
    EXPECT_TRUE(matches("жук", "ЖУК"));
    EXPECT_FALSE(matches("é", "e"));
    // A letter of the pattern takes its upper and lower forms: titlecase U+01C5 takes U+01C4
    // and U+01C6 but not itself, and final sigma takes capital sigma, which sigma does too.
    EXPECT_FALSE(matches("\xc7\x85", "\xc7\x85"));
    EXPECT_TRUE(matches("\xc7\x85", "\xc7\x86"));
    EXPECT_TRUE(matches("ς", "Σ"));
    EXPECT_FALSE(matches("σ", "ς"));
    // A byte that is no part of a character is one character of its own.
    EXPECT_TRUE(matches("a?", "a\xff"));
    EXPECT_FALSE(matches("a?", "a\xff\xc3"));
    EXPECT_FALSE(matches("a\xff", "a\xfe"));
    // Byte by byte, the same texts neither fold nor count as one.
    EXPECT_FALSE(Matches("écoles*", "Écoles"));
    EXPECT_FALSE(Matches("?a", "éa"));
}
#endif

TEST(WildcardTest, SkipPathComparesOnlyTheLastComponent) {
    EXPECT_TRUE(CmpNameWildcard("src", "D:\\work\\proj\\src", 1));
    EXPECT_TRUE(CmpNameWildcard("s*", "/home/me/src", 1));
    EXPECT_TRUE(CmpNameWildcard("src", "D:\\work/proj\\a/src", 1));
    EXPECT_TRUE(CmpNameWildcard("", "D:\\work\\", 1));
    EXPECT_FALSE(CmpNameWildcard("D:*", "D:\\work\\proj", 1));
    EXPECT_FALSE(CmpNameWildcard("src", "D:\\work\\proj\\src", 0));
}

TEST(WildcardTest, SeparatorsInPatternAreOrdinaryCharacters) {
    EXPECT_TRUE(Matches("a\\b", "a\\b"));
    EXPECT_FALSE(Matches("a\\b", "a/b"));
    EXPECT_FALSE(Matches("a/b", "a\\b"));
}

TEST(WildcardTest, MismatchAnywhereFails) {
    EXPECT_FALSE(Matches("", "a"));
    EXPECT_FALSE(Matches("abc", "ab"));
    EXPECT_FALSE(Matches("ab", "abc"));
    EXPECT_FALSE(Matches("*b", "abc"));
    EXPECT_FALSE(Matches("a*b", "ba"));
    EXPECT_FALSE(Matches("D:\\work\\*", "D:\\other\\proj"));
}

TEST(WildcardTest, NullTextsCountAsEmpty) {
    EXPECT_TRUE(CmpNameWildcard(nullptr, nullptr, 0));
    EXPECT_TRUE(CmpNameWildcard(nullptr, "", 1));
    EXPECT_TRUE(CmpNameWildcard("*", nullptr, 0));
    EXPECT_FALSE(CmpNameWildcard("?", nullptr, 1));
    EXPECT_FALSE(CmpNameWildcard(nullptr, "a", 0));
}

TEST(WildcardTest, ManyStarsOnLongTextFinishQuickly) {
    // Naive recursion tries every split of the text between the stars: about 10^14 steps here.
    const std::string text(5000, 'a');
    const std::string pattern = "*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*b";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(Matches(pattern.c_str(), text.c_str()));
    EXPECT_TRUE(Matches(pattern.c_str(), (text + "b").c_str()));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_LT(elapsed, std::chrono::seconds(2));
}

}  // namespace
