// The options in the registry and the configuration dialog, through the stand-in host.
#include "host/settings.h"

#include <cstring>
#include <string>
#include <vector>

#include "host/messages.h"
#include "host/module_state.h"
#include "host_fixture.h"
#include "registry_probe.h"
#include "store/errors.h"

namespace {

class SettingsTest : public HostTest {
  protected:
    DWORD StoredDword(const char* name) {
        StoredValue value;
        if (!ReadStored("", name, &value) || value.type != REG_DWORD || value.data.size() != 4) {
            return 0xFFFFFFFF;
        }
        DWORD number;
        std::memcpy(&number, value.data.data(), 4);
        return number;
    }
    void StoreDword(const char* name, DWORD number) {
        WriteStored("", name, REG_DWORD, std::string(reinterpret_cast<const char*>(&number), 4));
    }
    void StoreText(const char* name, const std::string& text) {
        WriteStored("", name, REG_SZ, text + std::string(1, '\0'));
    }
};

TEST_F(SettingsTest, FirstLoadWritesTheSixDefaultsWithTheirTypes) {
    StartModule();
    EXPECT_EQ(StoredNames(""),
              InEnumerationOrder({"Prefix", "ShowErrors", "ShowInPluginsMenu", "ShowInDiskMenu",
                                  "ShowTemporaryNamesAsHideFiles", "AutoComplite"}));
    EXPECT_EQ(StoredText("", "Prefix"), "cd:");
    EXPECT_EQ(StoredDword("ShowErrors"), 0u);
    EXPECT_EQ(StoredDword("ShowInPluginsMenu"), 1u);
    EXPECT_EQ(StoredDword("ShowInDiskMenu"), 1u);
    EXPECT_EQ(StoredDword("ShowTemporaryNamesAsHideFiles"), 1u);
    EXPECT_EQ(StoredDword("AutoComplite"), 1u);
    EXPECT_STREQ(Settings.Prefix.Text(), "cd:");
    EXPECT_EQ(Settings.UseHighlighting, 1u);
    EXPECT_EQ(Settings.AutoComplite, 1u);
}

TEST_F(SettingsTest, StoredValuesAreKeptAndWronglyTypedOnesReplaced) {
    StoreText("Prefix", "");
    StoreDword("ShowErrors", 5);
    StoreText("ShowInPluginsMenu", "0");
    StoreDword("UseHighlighting", 0);
    WriteStored("", "AutoComplite", REG_BINARY, std::string("\0\0\0\0", 4));
    StartModule();
    EXPECT_STREQ(Settings.Prefix.Text(), "") << "an empty prefix is a prefix";
    EXPECT_EQ(StoredText("", "Prefix"), "");
    EXPECT_EQ(Settings.ShowErrors, 5u);
    EXPECT_EQ(StoredDword("ShowErrors"), 5u) << "a stored number is never rewritten";
    EXPECT_EQ(Settings.ShowInPluginsMenu, 1u);
    EXPECT_EQ(StoredDword("ShowInPluginsMenu"), 1u) << "a text is replaced by the default";
    EXPECT_EQ(Settings.UseHighlighting, 1u) << "a stored value has no effect";
    EXPECT_EQ(StoredDword("UseHighlighting"), 0u);
    EXPECT_EQ(StoredDword("AutoComplite"), 1u);

    WriteStored("", "Prefix", REG_EXPAND_SZ, std::string("x:\0", 3));
    StartModule();
    EXPECT_STREQ(Settings.Prefix.Text(), "cd:");
    EXPECT_EQ(StoredText("", "Prefix"), "cd:");
}

TEST_F(SettingsTest, AValueThatCannotBeReadIsNeverWrittenOver) {
    const std::string wide("\5\0\0\0\0\0\0\0", 8);
    WriteStored("", "ShowErrors", REG_DWORD, wide);
    StartModule();
    EXPECT_EQ(Settings.ShowErrors, 0u) << "the default, for this process";
    StoredValue stored;
    ASSERT_TRUE(ReadStored("", "ShowErrors", &stored));
    EXPECT_EQ(stored.data, wide);
}

TEST_F(SettingsTest, RootThatCannotBeOpenedLeavesDefaultPrefixAndOptionsOff) {
    REQUIRE_HOOKS();
    FailKeyOpen("Software\\Far\\Plugins\\Velmora");
    StartModule();
    EXPECT_STREQ(Settings.Prefix.Text(), "cd:");
    EXPECT_EQ(Settings.ShowErrors, 0u);
    EXPECT_EQ(Settings.ShowInPluginsMenu, 0u);
    EXPECT_EQ(Settings.ShowInDiskMenu, 0u);
    EXPECT_EQ(Settings.UseHighlighting, 0u);
    EXPECT_EQ(Settings.AutoComplite, 0u);
    EXPECT_TRUE(sim_->messages.empty());
    EXPECT_FALSE(KeyExists(""));
}

TEST_F(SettingsTest, RefusedHeapDuringLoadKeepsWhatWasReadAndTheDefaultPrefix) {
    REQUIRE_HOOKS();
    StoreText("Prefix", "go:");
    // The first request builds the read block of the prefix.
    FailHeapRequest(1);
    StartModule();
    EXPECT_STREQ(Settings.Prefix.Text(), "cd:");
    EXPECT_EQ(Settings.ShowInDiskMenu, 0u) << "options after the failure are not read";
    EXPECT_EQ(StoredText("", "Prefix"), "go:") << "nothing is written over the stored prefix";
}

TEST_F(SettingsTest, DialogShowsTheOptionsInItsTenItems) {
    StoreDword("ShowErrors", 5);
    StoreText("Prefix", std::string(600, 'p'));
    StartModule();
    script_.AnswerDialog({-1, {}, {}});
    EXPECT_EQ(RunConfigDialog(), 0);
    ASSERT_EQ(sim_->dialogs.size(), 1u);
    const DialogCall& dialog = sim_->dialogs[0];
    EXPECT_EQ(dialog.width, 52);
    EXPECT_EQ(dialog.height, 14);
    ASSERT_EQ(dialog.items.size(), 10u);
    const int types[] = {DI_DOUBLEBOX, DI_CHECKBOX, DI_CHECKBOX, DI_CHECKBOX, DI_CHECKBOX,
                         DI_CHECKBOX,  DI_TEXT,     DI_EDIT,     DI_BUTTON,   DI_BUTTON};
    const int texts[] = {MConfigTitle,
                         MShowInDiskMenuCheckBox,
                         MShowInPluginsMenuCheckBox,
                         MShowTemporaryAsHiddenCheckBox,
                         MShowErrorsCheckBox,
                         MAutoCompleteCheckBox,
                         MPrefixLabel};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(dialog.items[i].type, types[i]) << i;
        EXPECT_EQ(dialog.items[i].defaultButton, 0) << i;
        if (i < 7) {
            EXPECT_EQ(dialog.items[i].text, Msg(texts[i])) << i;
        }
    }
    EXPECT_EQ(dialog.items[4].selected, 1) << "a stored 5 shows checked";
    EXPECT_EQ(dialog.items[1].focus, 1);
    EXPECT_EQ(dialog.items[7].focus, 1);
    EXPECT_EQ(dialog.items[7].x1, 14);
    EXPECT_EQ(dialog.items[7].x2, 19);
    EXPECT_EQ(dialog.items[7].y2, 1);
    EXPECT_EQ(dialog.items[7].text, std::string(511, 'p')) << "cut to fit the field";
    EXPECT_EQ(dialog.items[8].text, "&OK");
    EXPECT_EQ(dialog.items[9].text, "&Cancel");
}

TEST_F(SettingsTest, CancelledDialogChangesAndWritesNothing) {
    StartModule();
    for (int result : {-1, 9}) {
        script_.AnswerDialog({result, {{7, "new:"}}, {{1, 0}, {4, 1}}});
        EXPECT_EQ(RunConfigDialog(), 0);
    }
    EXPECT_STREQ(Settings.Prefix.Text(), "cd:");
    EXPECT_EQ(Settings.ShowErrors, 0u);
    EXPECT_EQ(StoredText("", "Prefix"), "cd:");
    EXPECT_EQ(StoredDword("UseHighlighting"), 0xFFFFFFFFu) << "still never written";
}

TEST_F(SettingsTest, ConfirmedDialogSavesEveryOptionAsZeroOrOne) {
    StoreDword("ShowErrors", 5);
    StoreDword("UseHighlighting", 0);
    StartModule();
    // Any closing item but Cancel confirms: here the edit field.
    script_.AnswerDialog({7, {{7, "go:"}}, {{1, 0}, {2, 1}, {3, 0}, {5, 0}}});
    EXPECT_EQ(RunConfigDialog(), 1);
    EXPECT_EQ(StoredText("", "Prefix"), "go:");
    EXPECT_EQ(StoredDword("ShowErrors"), 1u);
    EXPECT_EQ(StoredDword("ShowInDiskMenu"), 0u);
    EXPECT_EQ(StoredDword("ShowInPluginsMenu"), 1u);
    EXPECT_EQ(StoredDword("ShowTemporaryNamesAsHideFiles"), 0u);
    EXPECT_EQ(StoredDword("UseHighlighting"), 1u);
    EXPECT_EQ(StoredDword("AutoComplite"), 0u);
    EXPECT_STREQ(Settings.Prefix.Text(), "go:");
}

TEST_F(SettingsTest, PrefixThatLeavesTheCommandLineUnusableIsRefusedAndTheDialogComesBack) {
    StoreText("Prefix", "go:");
    StoreDword("ShowErrors", 1);
    StartModule();
    // The host reads "zz:qq" as two prefixes, and a prefix up to its colon.
    const std::pair<const char*, int> unusable[] = {
        {"", MBadPrefix}, {"j:", MBadPrefix}, {"zz:qq", MPrefixOneColon}, {"ab", MPrefixOneColon}};
    for (const auto& [prefix, message] : unusable) {
        script_.AnswerDialog({8, {{7, prefix}}, {{4, 0}}});
        script_.AnswerMessage(0);
        script_.AnswerDialog({-1, {}, {}});
        EXPECT_EQ(RunConfigDialog(), 0);
        const DialogCall& again = sim_->dialogs.back();
        EXPECT_EQ(again.items[7].text, prefix);
        EXPECT_EQ(again.items[4].selected, 0);
        EXPECT_EQ(sim_->messages.back().lines,
                  (std::vector<std::string>{Msg(MErrorTitle), Msg(message), prefix}));
        // The next key goes to the prefix, not to a switch it would flip.
        EXPECT_EQ(again.items[1].focus, 0) << prefix;
        EXPECT_EQ(again.items[7].focus, 1) << prefix;
    }
    EXPECT_EQ(StoredText("", "Prefix"), "go:");
    EXPECT_EQ(StoredDword("ShowErrors"), 1u);
}

TEST_F(SettingsTest, PrefixLongerThanItsFieldSurvivesAnUnchangedConfirm) {
    const std::string longPrefix(600, 'p');
    StoreText("Prefix", longPrefix);
    StartModule();
    script_.AnswerDialog({8, {}, {}});
    EXPECT_EQ(RunConfigDialog(), 1);
    EXPECT_EQ(StoredText("", "Prefix"), longPrefix);
    const std::string edited = longPrefix.substr(0, 509) + ":";
    script_.AnswerDialog({8, {{7, edited}}, {}});
    EXPECT_EQ(RunConfigDialog(), 1);
    EXPECT_EQ(StoredText("", "Prefix"), edited) << "an edit is stored";
}

TEST_F(SettingsTest, ConfirmedDialogSavesInItsOrderAndStoresAnyCheckAsOne) {
    // No load before: the dialog's save is the first write of every value.
    script_.AnswerDialog({8, {{7, "xy:"}}, {{1, 5}, {2, 0}, {3, 0}, {4, 0}, {5, 0}}});
    EXPECT_EQ(RunConfigDialog(), 1);
    EXPECT_EQ(
        StoredNames(""),
        InEnumerationOrder({"Prefix", "ShowErrors", "ShowInPluginsMenu", "ShowInDiskMenu",
                            "ShowTemporaryNamesAsHideFiles", "UseHighlighting", "AutoComplite"}));
    EXPECT_EQ(StoredDword("ShowInDiskMenu"), 1u);
    EXPECT_EQ(StoredDword("UseHighlighting"), 0u) << "held 0 since no load set it";
}

TEST_F(SettingsTest, DialogWhoseRootCannotBeOpenedThrowsAfterCopyingBack) {
    REQUIRE_HOOKS();
    StartModule();
    FailKeyOpen("Software\\Far\\Plugins\\Velmora");
    script_.AnswerDialog({8, {{7, "new:"}}, {{4, 1}}});
    try {
        RunConfigDialog();
        FAIL() << "the save should fail";
    } catch (terrors_t code) {
        EXPECT_EQ(code, ErrRegistry);
    }
    EXPECT_EQ(Settings.ShowErrors, 1u) << "in effect for this process";
    EXPECT_EQ(StoredText("", "Prefix"), "cd:");
}

}  // namespace
