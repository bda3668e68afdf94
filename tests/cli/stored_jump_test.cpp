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
    int answered = 0;
    for (const char* text : {"proj", "proj/src", "proj\\src/deeper", "proj/", "back", "back/x",
                             "clock/y:z", "trail/z", "ftp", "ftp/x", "nosuch", "/", "+proj"}) {
        std::string directory;
        if (!StoredDirectory(text, &directory)) {
            continue;
        }
        ++answered;
        Outcome outcome = session.Run(text);
        EXPECT_EQ(outcome.kind, Outcome::kDirectory) << text;
        EXPECT_EQ(outcome.text, directory) << text;
    }
    EXPECT_EQ(answered, 8);

    // Completion finds "proj" behind "PR"; "docs" names a filter; a wildcard is the module's.
    store(StoreSection::kFilters, "docs", "*docs*");
    int missed = 0;
    for (const char* text : {"nosuch", "nosuch/x", "PR", "pr/x", "docs", "p*", "zz?", "+x"}) {
        std::string name;
        if (!StoredNowhere(text, &name)) {
            continue;
        }
        ++missed;
        Outcome outcome = session.Run(text);
        EXPECT_EQ(outcome.kind, Outcome::kNotFound) << text;
        EXPECT_EQ(outcome.text, name) << text;
    }
    EXPECT_EQ(missed, 2);
    // With completion off the module misses "PR" too.
    ASSERT_TRUE(WriteValue(StoreSection::kRoot, {"AutoComplite", REG_DWORD, std::string(4, '\0')}));
    std::string name;
    EXPECT_TRUE(StoredNowhere("PR", &name));
    std::filesystem::remove_all(folder);
}

}  // namespace
