// The jump the program answers from the store without loading the module must be the module's
// own answer: the same text through both roads, over one store, gives the same directory, or
// the same miss.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "direct_store.h"
#include "module_session.h"
#include "script_front_end.h"
#include "stored_jump.h"

namespace {

TEST(StoredJumpTest, AnswersEveryStoredDirectoryAndEveryMissAsTheModuleDoes) {
    char pattern[] = "/tmp/velmora-jump-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string folder = pattern;
    setenv("VELMORA_REGISTRY_DIR", (folder + "/registry").c_str(), 1);
    setenv("VELMORA_VOLATILE_DIR", (folder + "/volatile").c_str(), 1);
    setenv("VELMORA_LNG_DIR", VELMORA_LNG_DIR, 1);
    // A directory whose own name holds a backslash is shown as it stands.
    std::filesystem::create_directories(folder + "/a\\b");
    auto store = [](StoreSection section, const std::string& name, const std::string& target) {
        ASSERT_TRUE(WriteValue(section, {name, REG_SZ, target + '\0'}));
    };
    store(StoreSection::kKeys, "proj", folder + "/proj");
    store(StoreSection::kTempKeys, "proj", folder + "/temporary");
    store(StoreSection::kKeys, "back", folder + "/a\\b");
    store(StoreSection::kKeys, "clock", folder + "/backup-10:00");
    store(StoreSection::kKeys, "trail", folder + "/t/");
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
    store(StoreSection::kKeys, "Écoles", folder + "/écoles");
    EXPECT_EQ(answeredAsTheModule({"nosuch", "nosuch/x", "PR", "pr/x", "docs", "p*", "zz?", "+x",
                                   "zz[z]", "écoles"},
                                  StoredNowhere, Outcome::kNotFound),
              2);
    // With completion off the module misses "PR" too.
    ASSERT_TRUE(WriteValue(StoreSection::kRoot, {"AutoComplite", REG_DWORD, std::string(4, '\0')}));
    std::string name;
    EXPECT_TRUE(StoredNowhere("PR", &name));
    std::filesystem::remove_all(folder);
}

}  // namespace
