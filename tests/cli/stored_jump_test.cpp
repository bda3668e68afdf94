// The jump the program answers from the store without loading the module must be the module's
// own answer: the same text through both roads, over one store, gives the same directory, or
// the same miss. A path typed for a jump goes where cd would, unless it begins with a name.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "store_sections.h"
#include "module_session.h"
#include "script_front_end.h"
#include "stored_jump.h"

namespace {

// A new store in a temporary folder.
class StoredJumpTest : public testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/velmora-jump-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        setenv("VELMORA_REGISTRY_DIR", (folder_ + "/registry").c_str(), 1);
        setenv("VELMORA_VOLATILE_DIR", (folder_ + "/volatile").c_str(), 1);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::string folder_;
};

TEST_F(StoredJumpTest, AnswersEveryStoredDirectoryAndEveryMissAsTheModuleDoes) {
    setenv("VELMORA_LNG_DIR", VELMORA_LNG_DIR, 1);
    // A directory whose own name holds a backslash is shown as it stands.
    std::filesystem::create_directories(folder_ + "/a\\b");
    auto store = [](StoreSection section, const std::string& name, const std::string& target) {
        ASSERT_TRUE(WriteValue(section, {name, REG_SZ, target + '\0'}));
    };
    store(StoreSection::kKeys, "proj", folder_ + "/proj");
    store(StoreSection::kTempKeys, "proj", folder_ + "/temporary");
    store(StoreSection::kKeys, "back", folder_ + "/a\\b");
    store(StoreSection::kKeys, "clock", folder_ + "/backup-10:00");
    store(StoreSection::kKeys, "trail", folder_ + "/t/");
    store(StoreSection::kKeys, "ftp", "ftp:server");

    ScriptFrontEnd frontEnd;
    ModuleSession session;
    std::string error;
    ASSERT_TRUE(session.Start(&frontEnd, &error)) << error;
    // How many of `texts` the program's own road answers, each checked against the module's.
    auto answeredAsTheModule = [&session](std::initializer_list<const char*> texts,
                                          bool (*road)(const std::string&, std::string*),
                                          Outcome::Kind kind) {
        int answered = 0;
        for (const char* text : texts) {
            std::string answer;
            if (!road(text, &answer)) {
                continue;
            }
            ++answered;
            Outcome outcome = session.Run(text);
            EXPECT_EQ(outcome.kind, kind) << text;
            EXPECT_EQ(outcome.text, answer) << text;
        }
        return answered;
    };
    EXPECT_EQ(
        answeredAsTheModule({"proj", "proj/src", "proj\\src/deeper", "proj/", "back", "back/x",
                             "clock/y:z", "trail/z", "ftp", "ftp/x", "nosuch", "/", "+proj"},
                            StoredDirectory, Outcome::kDirectory),
        8);

    // Completion finds "proj" behind "PR" and "Écoles" behind "écoles"; "docs" names a filter;
    // a wildcard or a set is the module's.
    store(StoreSection::kFilters, "docs", "*docs*");
    store(StoreSection::kKeys, "Écoles", folder_ + "/écoles");
    EXPECT_EQ(answeredAsTheModule({"nosuch", "nosuch/x", "PR", "pr/x", "docs", "p*", "zz?", "+x",
                                   "zz[z]", "écoles", "proj /src", "proj src"},
                                  StoredNowhere, Outcome::kNotFound),
              4);
    // The shell's words joined around a blank were meant as a name and a folder below it.
    EXPECT_EQ(MissedJump("proj / src"),
              "no name 'proj '; a folder below a name goes behind a / without blanks: proj/src");
    EXPECT_EQ(MissedJump("proj src/x"),
              "no name 'proj src'; a folder below a name goes behind a / without blanks: "
              "proj/src/x");
    EXPECT_EQ(MissedJump("nosuch /src"), "no name 'nosuch'");
    // With completion off the module misses "PR" too.
    ASSERT_TRUE(WriteValue(StoreSection::kRoot, {"AutoComplite", REG_DWORD, std::string(4, '\0')}));
    std::string said;
    EXPECT_TRUE(StoredNowhere("PR", &said));
    // With its error messages on, the module reports the miss in a box of its own, which the
    // program says as every miss.
    ASSERT_TRUE(
        WriteValue(StoreSection::kRoot, {"ShowErrors", REG_DWORD, std::string("\1\0\0\0", 4)}));
    ModuleSession showing;
    ASSERT_TRUE(showing.Start(&frontEnd, &error)) << error;
    Outcome missed = showing.Run("nosuch/x");
    EXPECT_EQ(missed.kind, Outcome::kNotFound);
    EXPECT_EQ(missed.text, "no name 'nosuch'");
}

TEST_F(StoredJumpTest, APathGoesWhereCdGoesUnlessItBeginsWithAName) {
    for (const char* below : {"/work/.hidden", "/work/.taken/x", "/work/~x", "/home/src"}) {
        std::filesystem::create_directories(folder_ + below);
    }
    setenv("HOME", (folder_ + "/home").c_str(), 1);
    ASSERT_EQ(chdir((folder_ + "/work").c_str()), 0);
    // A name wins over a folder of its name, whatever its target.
    ASSERT_TRUE(WriteValue(StoreSection::kKeys, {".taken", REG_SZ, std::string("ftp:x") + '\0'}));
    auto typed = [](const char* text) {
        std::string directory;
        return TypedDirectory(text, &directory) ? directory : "(none)";
    };
    EXPECT_EQ(typed(".."), "..");
    EXPECT_EQ(typed("./.hidden"), "./.hidden");
    // cd would look a bare relative path up in CDPATH first.
    EXPECT_EQ(typed(".hidden"), "./.hidden");
    EXPECT_EQ(typed("~"), folder_ + "/home");
    EXPECT_EQ(typed("~/src"), folder_ + "/home/src");
    EXPECT_EQ(typed("~x"), "./~x");
    EXPECT_EQ(typed("/"), "/");
    EXPECT_EQ(typed(".taken"), "(none)");
    EXPECT_EQ(typed(".taken/x"), "(none)");
    EXPECT_EQ(typed("./nosuch"), "(none)");
    EXPECT_EQ(typed("proj"), "(none)");
    ASSERT_EQ(chdir("/"), 0);
}

}  // namespace
