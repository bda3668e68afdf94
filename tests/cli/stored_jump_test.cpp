// A command typed in a shell, as the program says it: a jump the store answers without starting
// the host, the jumps only the host takes further (a menu, a filter's panel), adds and deletes
// said with what they replaced or why not, and a path typed for a jump.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "jump_destination.h"
#include "module_session.h"
#include "script_front_end.h"
#include "store_sections.h"
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
        setenv("VELMORA_LNG_DIR", VELMORA_LNG_DIR, 1);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    static void Store(StoreSection section, const std::string& name, const std::string& text) {
        ASSERT_TRUE(WriteValue(section, {name, REG_SZ, text + '\0'}));
    }
    static void StoreOption(const char* name, char value) {
        ASSERT_TRUE(WriteValue(StoreSection::kRoot,
                               {name, REG_DWORD, std::string(1, value) + std::string(3, '\0')}));
    }
    // What the store alone answers for `text`: the outcome's kind and text, or "host".
    static std::string Answered(const char* text) {
        Outcome outcome;
        if (!AnswerFromStore(text, &outcome)) {
            return "host";
        }
        return std::to_string(outcome.kind) + " " + outcome.text;
    }
    static std::string Said(Outcome::Kind kind, const std::string& text) {
        return std::to_string(kind) + " " + text;
    }

    std::string folder_;
    ScriptFrontEnd frontEnd_;
};

TEST_F(StoredJumpTest, TheStoreAnswersAJumpUnlessOnlyTheHostCanTakeItFurther) {
    Store(StoreSection::kKeys, "proj", folder_ + "/proj");
    Store(StoreSection::kTempKeys, "proj", folder_ + "/temporary");
    Store(StoreSection::kKeys, "back", folder_ + "/a\\b");
    Store(StoreSection::kKeys, "trail", folder_ + "/t/");
    Store(StoreSection::kKeys, "ftp", "ftp:server");
    Store(StoreSection::kKeys, "Écoles", folder_ + "/écoles");
    Store(StoreSection::kKeys, "bad", "ftp:a b");
    Store(StoreSection::kFilters, "docs", "*docs*");
    const auto dir = Outcome::kDirectory;
    EXPECT_EQ(Answered("proj"), Said(dir, folder_ + "/temporary"));
    EXPECT_EQ(Answered("proj\\src/deeper"), Said(dir, folder_ + "/temporary/src/deeper"));
    EXPECT_EQ(Answered("back/x"), Said(dir, folder_ + "/a\\b/x"));
    EXPECT_EQ(Answered("trail/z"), Said(dir, folder_ + "/t/z"));
    EXPECT_EQ(Answered("ftp/x"), Said(Outcome::kCommand, "ftp:server/x"));
    EXPECT_EQ(Answered("nosuch/x"), Said(Outcome::kNotFound, "no name 'nosuch'"));
    // A completion, a filter's panel, a command the module refuses to type.
    for (const char* text : {"PR", "pr/x", "docs", "p*", "zz?", "zz[z]", "écoles", "bad"}) {
        EXPECT_EQ(Answered(text), "host") << text;
    }
    for (const char* text : {"", "+x", ":x", "-proj"}) {
        EXPECT_EQ(Answered(text), "host") << "no jump: '" << text << "'";
    }
    // Without completion a name that only begins another misses.
    StoreOption("AutoComplite", 0);
    EXPECT_EQ(Answered("PR"), Said(Outcome::kNotFound, "no name 'PR'"));
}

TEST_F(StoredJumpTest, TheHostTakesAJumpFurtherThroughItsMenuOrAFiltersPanel) {
    Store(StoreSection::kKeys, "proj", folder_ + "/proj");
    Store(StoreSection::kKeys, "pub", folder_ + "/pub");
    Store(StoreSection::kKeys, "bad", "ftp:a b");
    Store(StoreSection::kKeys, "prime", folder_ + "/prime");
    Store(StoreSection::kFilters, "p", "*/p*");
    ModuleSession session;
    std::string error;
    ASSERT_TRUE(session.Start(&frontEnd_, &error)) << error;
    frontEnd_.AnswerMenu(1);
    Outcome chosen = session.Run("p/src");
    EXPECT_EQ(Said(chosen.kind, chosen.text), Said(Outcome::kDirectory, folder_ + "/pub/src"));
    // A cancelled menu leaves the text to the filter it names, whose panel opens once.
    frontEnd_.AnswerMenu(-1);
    Outcome panel = session.Run("p");
    EXPECT_EQ(panel.kind, Outcome::kPanel);
    EXPECT_EQ(session.Host().Active().folder, "p");
    EXPECT_EQ(session.Host().menus.size(), 2u);
    frontEnd_.AnswerMenu(-1);
    EXPECT_EQ(session.Run("pr").kind, Outcome::kFailed);
    Outcome refused = session.Run("bad");
    EXPECT_EQ(Said(refused.kind, refused.text),
              Said(Outcome::kRefused,
                   "not typed into the command line, where the shell would run it as a command: "
                   "ftp:a b"));
}

TEST_F(StoredJumpTest, AnAddSaysWhatItReplacedAndWhyItStoredNothing) {
    std::filesystem::create_directories(folder_ + "/here");
    ASSERT_EQ(chdir((folder_ + "/here").c_str()), 0);
    Store(StoreSection::kKeys, "Alpha", folder_ + "/there");
    Store(StoreSection::kKeys, "beta", folder_ + "/here");
    ModuleSession session;
    std::string error;
    ASSERT_TRUE(session.Start(&frontEnd_, &error)) << error;
    auto run = [&session](const char* text) {
        Outcome outcome = session.Run(text);
        return Said(outcome.kind, outcome.text);
    };
    EXPECT_EQ(run(":alpha"), Said(Outcome::kDone, "alpha now " + folder_ + "/here (was " + folder_ +
                                                      "/there, spelt Alpha)"));
    EXPECT_EQ(run(":BETA"), Said(Outcome::kDone, "BETA now " + folder_ + "/here (was spelt beta)"));
    EXPECT_EQ(run("+gamma"), Said(Outcome::kDone, ""));
    EXPECT_EQ(run(":abc:"), Said(Outcome::kRefused,
                                 "there is no name behind the last colon of "
                                 "'abc:'; nothing was stored"));
    EXPECT_EQ(run(":a/b"), Said(Outcome::kRefused,
                                "a name cannot hold a slash or a backslash; nothing was stored"));
    EXPECT_EQ(run("-nosuch"), Said(Outcome::kNotFound, "no name 'nosuch'"));
    EXPECT_EQ(run("-"), Said(Outcome::kRefused, "there is no name to delete: type it behind -"));
    EXPECT_EQ(run("-gamma"), Said(Outcome::kDone, ""));
    ASSERT_EQ(chdir("/"), 0);
}

TEST_F(StoredJumpTest, AMissSaysHowToTypeANameAndAFolderBelowIt) {
    Store(StoreSection::kKeys, "proj", folder_ + "/proj");
    EXPECT_EQ(MissedJump("proj / src"),
              "no name 'proj '; a folder below a name goes behind a / without blanks: proj/src");
    EXPECT_EQ(MissedJump("proj src/x"),
              "no name 'proj src'; a folder below a name goes behind a / without blanks: "
              "proj/src/x");
    EXPECT_EQ(MissedJump("nosuch /src"), "no name 'nosuch'");
}

TEST_F(StoredJumpTest, AJumpTheShellCannotEnterNamesTheNameThatLedThere) {
    std::filesystem::create_directories(folder_ + "/proj");
    Store(StoreSection::kKeys, "proj", folder_ + "/proj");
    Store(StoreSection::kTempKeys, "gone", folder_ + "/gone");
    auto why = [](const char* text) {
        Outcome outcome;
        EXPECT_TRUE(AnswerFromStore(text, &outcome)) << text;
        return WhyNotThere(outcome.text, outcome.name, outcome.stored);
    };
    std::filesystem::create_directories(folder_ + "/proj/src");
    EXPECT_EQ(why("proj/src"), "");
    EXPECT_EQ(why("proj/nosuch/deeper"), "there is no folder 'nosuch/deeper' in " + folder_ +
                                             "/proj, the directory of 'proj'");
    EXPECT_EQ(why("Gone/x"),
              "the directory of 'Gone' is gone (" + folder_ +
                  "/gone); `velmora prune` deletes the names whose directory is gone");
}

TEST_F(StoredJumpTest, APathGoesWhereCdGoesUnlessItBeginsWithAName) {
    for (const char* below : {"/work/.hidden", "/work/.taken/x", "/work/~x", "/home/src"}) {
        std::filesystem::create_directories(folder_ + below);
    }
    setenv("HOME", (folder_ + "/home").c_str(), 1);
    ASSERT_EQ(chdir((folder_ + "/work").c_str()), 0);
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
    EXPECT_EQ(typed("./nosuch"), "(none)");
    EXPECT_EQ(typed("proj"), "(none)");
    // A name wins over a folder of its name, whatever its target.
    Store(StoreSection::kKeys, ".taken", "ftp:x");
    EXPECT_EQ(Answered(".taken/x"), Said(Outcome::kCommand, "ftp:x/x"));
    EXPECT_EQ(Answered("./.hidden"), Said(Outcome::kDirectory, "./.hidden"));
    ASSERT_EQ(chdir("/"), 0);
}

}  // namespace
