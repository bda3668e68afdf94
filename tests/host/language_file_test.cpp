// The language files we ship, read as the host reads them: one text per message number, the
// two delete questions as safe formats, hot keys and widths that fit the dialogs, and the
// Russian file in the console's code page. Also the reader itself, on small files of its own.
#include "lng_file.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

const size_t kMessageCount = 53;
const size_t kUnusedMessage = 24;

// The host's sprintf conversions in `text`: each entry is one whole conversion such as
// "%d" or "%-5s". "%%" prints a percent sign and is no conversion; a '%' that starts no
// complete conversion is listed as far as it goes, since sprintf would misread it.
std::vector<std::string> Conversions(const std::string& text) {
    std::vector<std::string> found;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '%') {
            ++i;
            continue;
        }
        size_t end = i + 1;
        while (end < text.size() &&
               std::string("-+ #0123456789.*hlLqjzt").find(text[end]) != std::string::npos) {
            ++end;
        }
        if (end < text.size()) {
            ++end;
        }
        found.push_back(text.substr(i, end - i));
        i = end - 1;
    }
    return found;
}

// Case folding for hot keys: ASCII letters, and the Cyrillic letters of code page 866.
unsigned char FoldHotKey(unsigned char c) {
    if (c >= 'A' && c <= 'Z') {
        return static_cast<unsigned char>(c - 'A' + 'a');
    }
    if (c >= 0x80 && c <= 0x8F) {
        return static_cast<unsigned char>(c + 0x20);
    }
    if (c >= 0x90 && c <= 0x9F) {
        return static_cast<unsigned char>(c + 0x50);
    }
    if (c == 0xF0) {
        return 0xF1;
    }
    return c;
}

bool IsValidUtf8(const std::string& bytes) {
    size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char lead = static_cast<unsigned char>(bytes[i]);
        size_t tail = 0;
        if (lead < 0x80) {
            tail = 0;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            tail = 1;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            tail = 2;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            tail = 3;
        } else {
            return false;
        }
        if (i + tail >= bytes.size()) {
            return false;
        }
        for (size_t k = 1; k <= tail; ++k) {
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += tail + 1;
    }
    return true;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::string ShippedFilePath(const std::string& name) {
    return std::string(VELMORA_LNG_DIR) + "/" + name;
}

struct ShippedFile {
    const char* name;
    const char* languageId;
};

void PrintTo(const ShippedFile& file, std::ostream* out) {
    *out << file.name;
}

class ShippedLanguageFileTest : public ::testing::TestWithParam<ShippedFile> {
  protected:
    void SetUp() override {
        ASSERT_TRUE(LoadLanguageFile(ShippedFilePath(GetParam().name), &messages, &languageId));
        ASSERT_EQ(messages.size(), kMessageCount);
    }

    // A dialog's caption as it appears on screen: the '&' that marks the hot key takes no
    // column.
    size_t ShownWidth(size_t number) const {
        const std::string& text = messages[number];
        return text.size() - (text.find('&') != std::string::npos ? 1 : 0);
    }

    std::vector<std::string> messages;
    std::string languageId;
};

TEST_P(ShippedLanguageFileTest, NamesItsLanguageAndHasOneTextPerNumber) {
    EXPECT_EQ(languageId, GetParam().languageId);
    for (size_t number = 0; number < kMessageCount; ++number) {
        if (number != kUnusedMessage) {
            EXPECT_FALSE(messages[number].empty()) << "message " << number;
        }
    }
}

// The panel formats the question into a buffer sized for the format plus 10 characters for the
// number or the name's length plus 2, so a width, a precision or a second conversion would
// write past it.
TEST_P(ShippedLanguageFileTest, DeleteQuestionsCarryOnePlainConversionOfTheirArgument) {
    const std::vector<std::string> many = Conversions(messages[4]);
    ASSERT_EQ(many.size(), 1u) << messages[4];
    EXPECT_TRUE(many[0] == "%d" || many[0] == "%i" || many[0] == "%u") << many[0];
    EXPECT_EQ(Conversions(messages[5]), std::vector<std::string>{"%s"}) << messages[5];
}

TEST_P(ShippedLanguageFileTest, NoOtherMessageHasConversion) {
    for (size_t number = 0; number < kMessageCount; ++number) {
        if (number != 4 && number != 5) {
            EXPECT_TRUE(Conversions(messages[number]).empty())
                << "message " << number << ": " << messages[number];
        }
    }
}

// The title is formatted as a blank and this text into a 32-byte buffer.
TEST_P(ShippedLanguageFileTest, PanelNameFitsTitleBuffer) {
    EXPECT_LE(messages[1].size(), 30u);
}

// The missing name is appended, quoted, behind the blank.
TEST_P(ShippedLanguageFileTest, NotFoundTextEndsInBlankBeforeTheName) {
    EXPECT_EQ(messages[11].back(), ' ');
}

TEST_P(ShippedLanguageFileTest, KeyBarLabelsFitTheirCells) {
    for (size_t number : {2u, 29u}) {
        EXPECT_LE(messages[number].size(), 6u) << messages[number];
        EXPECT_EQ(messages[number].find('&'), std::string::npos) << messages[number];
    }
}

// Every label and check box of a dialog carries one hot key, and no two of them, nor the
// module's own "&OK" and "&Cancel", share one.
TEST_P(ShippedLanguageFileTest, DialogHotKeysAreMarkedOnceAndDistinct) {
    const std::vector<std::vector<size_t>> dialogs = {
        {8, 9, 10},                // name dialog
        {19, 20, 21, 22, 23, 28},  // configuration dialog
        {26, 27},                  // filter dialog
    };
    for (const std::vector<size_t>& dialog : dialogs) {
        std::set<unsigned char> keys = {'o', 'c'};
        for (size_t number : dialog) {
            const std::string& text = messages[number];
            const size_t mark = text.find('&');
            ASSERT_NE(mark, std::string::npos) << "message " << number << ": " << text;
            EXPECT_EQ(text.find('&', mark + 1), std::string::npos) << text;
            ASSERT_LT(mark + 1, text.size()) << text;
            const unsigned char key = FoldHotKey(static_cast<unsigned char>(text[mark + 1]));
            EXPECT_TRUE(keys.insert(key).second) << "message " << number << ": " << text;
        }
    }
}

// Captions run from their item's column to the frame: a check box's text starts four columns
// right of it, behind "[ ] ". The prefix label must end before its edit field at column 14.
TEST_P(ShippedLanguageFileTest, DialogTextsFitInsideTheirFrames) {
    struct Caption {
        size_t number;
        size_t firstColumn;
        size_t frameColumn;
    };
    const Caption captions[] = {
        {8, 4, 47},  {9, 4, 47},  {10, 9, 47},  // name dialog
        {19, 5, 14}, {20, 9, 49}, {21, 9, 49}, {22, 9, 49},
        {23, 9, 49}, {28, 9, 49}, {26, 5, 49}, {27, 5, 49},  // filter dialog
    };
    for (const Caption& caption : captions) {
        EXPECT_LT(caption.firstColumn + ShownWidth(caption.number), caption.frameColumn)
            << "message " << caption.number << ": " << messages[caption.number];
    }
}

INSTANTIATE_TEST_SUITE_P(Shipped, ShippedLanguageFileTest,
                         ::testing::Values(ShippedFile{"VelmoraEng.lng", "English"},
                                           ShippedFile{"VelmoraRus.lng", "Russian"}),
                         [](const ::testing::TestParamInfo<ShippedFile>& info) {
                             return std::string(info.param.languageId);
                         });

// The host shows the texts in the console's OEM code page, 866 for Russian; a file saved as
// UTF-8 or in the ANSI code page 1251 would show as garbage.
TEST(RussianLanguageFileTest, IsWrittenInCodePage866) {
    const std::string bytes = ReadBytes(ShippedFilePath("VelmoraRus.lng"));
    ASSERT_FALSE(bytes.empty());
    EXPECT_FALSE(IsValidUtf8(bytes));

    std::vector<std::string> messages;
    ASSERT_TRUE(LoadLanguageFile(ShippedFilePath("VelmoraRus.lng"), &messages, nullptr));
    size_t letters = 0;
    for (const std::string& text : messages) {
        for (char c : text) {
            const unsigned char byte = static_cast<unsigned char>(c);
            if (byte >= 0x80) {
                // Code page 866 keeps its Cyrillic letters in these ranges and line drawing
                // between them, where code page 1251 has most of its letters.
                EXPECT_TRUE(byte <= 0xAF || (byte >= 0xE0 && byte <= 0xF1)) << text;
                ++letters;
            }
        }
    }
    EXPECT_GT(letters, 0u);
}

TEST(EnglishLanguageFileTest, IsPlainAscii) {
    const std::string bytes = ReadBytes(ShippedFilePath("VelmoraEng.lng"));
    ASSERT_FALSE(bytes.empty());
    for (char c : bytes) {
        EXPECT_LT(static_cast<unsigned char>(c), 0x80u);
    }
}

class LanguageFileReaderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::random_device random;
        path = std::filesystem::temp_directory_path() /
               ("velmora_lng_test_" + std::to_string(random()) + ".lng");
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }

    void Write(const std::string& bytes) {
        std::ofstream file(path, std::ios::binary);
        file << bytes;
    }

    bool Load() { return LoadLanguageFile(path.string(), &messages, &languageId); }

    std::filesystem::path path;
    std::vector<std::string> messages;
    std::string languageId;
};

TEST_F(LanguageFileReaderTest, DecodesEscapesAndSkipsCommentsAndBlankLines) {
    Write(
        ".Language=German,Deutsch (German)\n"
        "// a comment with \"quotes\"\n"
        "\n"
        "   \"indented\"\n"
        "\"say \\\"hi\\\"\"\n"
        "\"back\\\\slash\"\n"
        "\"two\\nlines\\tand a tab\"\n"
        "\"doubled \"\"quotes\"\"\"\n"
        "\"C:\\dir\\sub\"\n"
        "\"a \"lone\" quote\"\n"
        "\"\"\n"
        "\"unterminated  \n"
        "not a message\n"
        "\"\xE4\x80\xFF\"\n");
    ASSERT_TRUE(Load());
    EXPECT_EQ(languageId, "German");
    const std::vector<std::string> expected = {
        "indented",           "say \"hi\"",   "back\\slash",      "two\nlines\tand a tab",
        "doubled \"quotes\"", "C:\\dir\\sub", "a \"lone\" quote", "",
        "unterminated",       "\xE4\x80\xFF",
    };
    EXPECT_EQ(messages, expected);
}

TEST_F(LanguageFileReaderTest, ReadsWindowsLineEndsAndByteOrderMark) {
    Write("\xEF\xBB\xBF.Language=English,English\r\n\"one \"\r\n\r\n  \"two\"  \r\n");
    ASSERT_TRUE(Load());
    EXPECT_EQ(languageId, "English");
    EXPECT_EQ(messages, (std::vector<std::string>{"one ", "two"}));
}

TEST_F(LanguageFileReaderTest, RefusesFileWithoutLanguageLine) {
    Write("// no language\n\"text\"\n");
    EXPECT_FALSE(Load());
    EXPECT_TRUE(messages.empty());

    Write(".Language=,Nameless\n\"text\"\n");
    EXPECT_FALSE(Load());
    EXPECT_TRUE(messages.empty());
}

TEST_F(LanguageFileReaderTest, RefusesMissingFile) {
    messages = {"stale"};
    EXPECT_FALSE(Load());
    EXPECT_TRUE(messages.empty());
}

}  // namespace
