// What the panel lists and how it looks: the order of the sections, the attributes that tell
// filters, names and hidden temporary names apart, the restriction to a filter's pattern, and
// the look the host is given at the top level and inside a filter.
#include <cstring>
#include <map>

#include "scenario_fixture.h"

namespace {

class ListingTest : public ScenarioTest {};

TEST_F(ListingTest, FiltersComeFirstThenPermanentThenTemporaryNamesWithTheirValues) {
    StoreTemporaryName("at", HostPath("C:\\tmp"));
    StoreName("mp1", HostPath("C:\\one"));
    StoreName("mp2", "ftp:server");
    StoreFilter("zf", HostPath("C:\\*"));
    ASSERT_TRUE(OpenPanel());
    EXPECT_EQ(Listed(), Join<std::string>({{"zf"}, InEnumerationOrder({"mp1", "mp2"}), {"at"}}));
    std::map<std::string, std::string> descriptions;
    for (const SimItem& item : host_->Active().items) {
        descriptions[item.name] = item.description;
    }
    EXPECT_EQ(descriptions, (std::map<std::string, std::string>{{"at", HostPath("C:\\tmp")},
                                                                {"mp1", HostPath("C:\\one")},
                                                                {"mp2", "ftp:server"},
                                                                {"zf", HostPath("C:\\*")}}));
}

TEST_F(ListingTest, TemporaryNamesAreHiddenFilesOnlyWhileTheOptionIsOn) {
    StoreFilter("f", "*");
    StoreName("p", HostPath("C:\\p"));
    StoreTemporaryName("t", HostPath("C:\\t"));
    using Listing = std::vector<std::pair<std::string, DWORD>>;

    StoreOption(kTemporaryAsHidden, 1);
    Restart();
    ASSERT_TRUE(OpenPanel());
    EXPECT_EQ(
        ListedWithAttributes(),
        (Listing{{"f", kFilterAttributes}, {"p", kNameAttributes}, {"t", kHiddenAttributes}}));
    host_->ClosePanel(host_->Active());

    StoreOption(kTemporaryAsHidden, 0);
    Restart();
    ASSERT_TRUE(OpenPanel());
    EXPECT_EQ(ListedWithAttributes(),
              (Listing{{"f", kFilterAttributes}, {"p", kNameAttributes}, {"t", kNameAttributes}}));
}

TEST_F(ListingTest, InsideAFilterOnlyMatchingPathsAndOtherPatternsAreListed) {
    StoreFilter("cur", HostPath("C:\\*"));
    StoreFilter("same", HostPath("C:\\*"));
    StoreFilter("upper", HostPath("c:\\*"));
    StoreFilter("empty", "");
    StoreName("a", HostPath("C:\\a"));
    StoreName("b", HostPath("D:\\b"));
    StoreTemporaryName("t", HostPath("c:\\t"));

    ASSERT_TRUE(OpenPanel());
    EXPECT_EQ(Listed(),
              Join<std::string>({InEnumerationOrder({"cur", "same", "upper"}), {"a", "b", "t"}}))
        << "a filter with an empty pattern is not listed at the top level";

    host_->RunCommandLine("cd:cur");
    ASSERT_NE(host_->Active().plugin, nullptr);
    EXPECT_EQ(Listed(), Join<std::string>({InEnumerationOrder({"upper", "empty"}), {"a", "t"}}))
        << "the current pattern byte for byte is left out; case matters there, not in paths";
}

// A host whose CmpName writes a further name into the store the first time it is called, that
// is after the module counted the section's values and while it enumerates them.
FARAPICMPNAME hostCmpName = nullptr;
bool lateNameWritten = false;

int WINAPI CmpNameThatAddsAName(const char* pattern, const char* text, int skipPath) {
    if (!lateNameWritten) {
        lateNameWritten = true;
        WriteStored("\\Keys", "zz-late", REG_SZ, HostPath("C:\\late") + '\0');
    }
    return hostCmpName(pattern, text, skipPath);
}

TEST_F(ListingTest, NameStoredWhileTheListIsBuiltIsStillListed) {
    StoreFilter("c", HostPath("C:\\*"));
    StoreName("a", HostPath("C:\\a"));
    PluginStartupInfo info = *host_->StartupInfo();
    hostCmpName = info.CmpName;
    lateNameWritten = false;
    info.CmpName = CmpNameThatAddsAName;
    Module().SetStartupInfo(&info);

    // Typed behind the prefix; the host has not asked for the prefix again after the start.
    host_->RunModuleCommand("c");
    ASSERT_TRUE(lateNameWritten);
    EXPECT_EQ(Listed(), (std::vector<std::string>{"a", "zz-late"}));
}

TEST_F(ListingTest, APanelShownAgainListsWhatAnotherFarChangedMeanwhile) {
    StoreName("kept", HostPath("C:\\kept"));
    StoreName("gone", HostPath("C:\\gone"));
    ASSERT_TRUE(OpenPanel());
    // Another Far on the same registry, behind this panel's back.
    StoreName("fresh", HostPath("C:\\fresh"));
    DeleteStored("\\Keys", "gone");
    host_->RefreshPanel(host_->Active());
    EXPECT_EQ(Listed(), InEnumerationOrder({"kept", "fresh"}));
}

TEST_F(ListingTest, PanelLookAtTheTopAndInsideAFilter) {
    StoreFilter("c", HostPath("C:\\*"));
    ASSERT_TRUE(OpenPanel());
    const std::string top = " " + Msg(kMsgPanelName);
    for (const std::string& title : {top, top + ": " + HostPath("C:\\*")}) {
        if (title != top) {
            Point("c");
            ASSERT_EQ(host_->PressKey(KEY_RETURN, 0), 1);
        }
        OpenPluginInfo look;
        std::memset(&look, 0, sizeof look);
        look.StructSize = sizeof look;
        Module().GetOpenPluginInfo(host_->Active().plugin, &look);
        EXPECT_EQ(look.Flags, 477u);
        EXPECT_STREQ(look.PanelTitle, title.c_str());
        ASSERT_NE(look.CurDir, nullptr);
        EXPECT_STREQ(look.CurDir, title == top ? "" : "c") << "a filter is the host's folder";
        EXPECT_STREQ(look.Format, Msg(kMsgPanelName).c_str());
        EXPECT_EQ(look.StartPanelMode, '6');
        ASSERT_EQ(look.PanelModesNumber, 10);
        EXPECT_STREQ(look.PanelModesArray[6].ColumnWidths, "8,0");
        EXPECT_EQ(look.PanelModesArray[6].ColumnTypes, nullptr);
        ASSERT_NE(look.KeyBar, nullptr);
        for (int key : {2, 4, 5}) {
            ASSERT_NE(look.KeyBar->Titles[key], nullptr) << "F" << key + 1;
            EXPECT_STREQ(look.KeyBar->Titles[key], "") << "F" << key + 1;
        }
        EXPECT_STREQ(look.KeyBar->Titles[6], Msg(kMsgFilterKeyLabel).c_str());
        EXPECT_STREQ(look.KeyBar->Titles[7], Msg(kMsgDeleteKeyLabel).c_str());
        EXPECT_EQ(look.KeyBar->Titles[0], nullptr) << "the host's own label stays";
        EXPECT_EQ(look.KeyBar->Titles[3], nullptr) << "the host's own label stays";
    }
}

TEST_F(ListingTest, PanelsOnBothSidesKeepTheirOwnFilterAndSeeEachOthersChanges) {
    StoreFilter("cdrive", HostPath("C:\\*"));
    StoreName("work", HostPath("C:\\work"));
    StoreName("data", HostPath("D:\\data"));
    ASSERT_TRUE(OpenPanel());
    host_->SwitchPanels();
    ASSERT_TRUE(OpenPanel());
    Point("cdrive");
    host_->PressKey(KEY_RETURN, 0);
    Point("work");
    script_.AnswerMessage(0);
    host_->PressKey(KEY_F8, 0);

    host_->SwitchPanels();
    EXPECT_EQ(host_->PressKey(KEY_R, PKF_CONTROL), 1);
    EXPECT_EQ(host_->Active().title, " " + Msg(kMsgPanelName));
    EXPECT_EQ(Listed(), (std::vector<std::string>{"cdrive", "data"}));
    EXPECT_EQ(host_->Passive().title, " " + Msg(kMsgPanelName) + ": " + HostPath("C:\\*"));
}

TEST_F(ListingTest, EmptyStoreGivesAnEmptyListThatTheHostCanFetch) {
    ASSERT_TRUE(OpenPanel());
    PluginPanelItem* items = nullptr;
    int count = -1;
    EXPECT_EQ(Module().GetFindData(host_->Active().plugin, &items, &count, 0), 1);
    EXPECT_EQ(count, 0);
}

TEST_F(ListingTest, FindDataIsRefusedWhenTheHostRefusesThePanelInformation) {
    StoreName("a", HostPath("C:\\a"));
    ASSERT_TRUE(OpenPanel());
    host_->Active().refuseInfo = true;
    PluginPanelItem* items = nullptr;
    int count = -1;
    EXPECT_EQ(Module().GetFindData(host_->Active().plugin, &items, &count, 0), 0);
    EXPECT_EQ(count, -1) << "nothing is handed over";
}

// The host's panel item read and written by byte offset as the host lays it out (kHostItem),
// never through the module's own declaration. A module whose item has another size hands over,
// and reads back, every item after the first at the wrong place.
std::string HostItemName(const unsigned char* item) {
    const char* name = reinterpret_cast<const char*>(item + kHostItem.name);
    return std::string(name, strnlen(name, 260));
}

// An item's description and attributes as the host reads them.
std::pair<std::string, DWORD> HostItemLook(const unsigned char* item) {
    DWORD attributes = 0;
    std::memcpy(&attributes, item + kHostItem.attributes, sizeof attributes);
    const char* description = nullptr;
    std::memcpy(&description, item + kHostItem.description, sizeof description);
    return {description != nullptr ? description : "", attributes};
}

// A host whose panel information hands the module a selection it laid out itself.
FARAPICONTROL hostControl = nullptr;
std::vector<unsigned char> hostSelection;

int WINAPI ControlWithHostsSelection(HANDLE handle, int command, void* param) {
    int result = hostControl(handle, command, param);
    if (result != 0 && command == FCTL_GETPANELINFO && !hostSelection.empty()) {
        auto* info = static_cast<PanelInfo*>(param);
        info->SelectedItems = reinterpret_cast<PluginPanelItem*>(hostSelection.data());
        info->SelectedItemsNumber = static_cast<int>(hostSelection.size() / kHostItem.size);
    }
    return result;
}

TEST_F(ListingTest, ItemsAndTheSelectionTravelAtTheHostsItemSize) {
    StoreFilter("f", HostPath("C:\\*"));
    StoreName("a", HostPath("C:\\a"));
    StoreName("b", HostPath("D:\\b"));
    StoreName("c", HostPath("C:\\c"));
    StoreTemporaryName("t", HostPath("C:\\t"));
    StoreOption(kTemporaryAsHidden, 1);
    Restart();
    PluginStartupInfo info = *host_->StartupInfo();
    hostControl = info.Control;
    hostSelection.clear();
    info.Control = ControlWithHostsSelection;
    Module().SetStartupInfo(&info);
    ASSERT_TRUE(OpenPanel());

    PluginPanelItem* items = nullptr;
    int count = 0;
    ASSERT_EQ(Module().GetFindData(host_->Active().plugin, &items, &count, 0), 1);
    const auto* bytes = reinterpret_cast<const unsigned char*>(items);
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        names.push_back(HostItemName(bytes + i * kHostItem.size));
    }
    // Descriptions are pointers: they are read only once every item is where the host looks.
    ASSERT_EQ(names, Join<std::string>({{"f"}, InEnumerationOrder({"a", "b", "c"}), {"t"}}));
    std::map<std::string, std::pair<std::string, DWORD>> listed;
    for (int i = 0; i < count; ++i) {
        listed[names[i]] = HostItemLook(bytes + i * kHostItem.size);
    }
    EXPECT_EQ(listed, (std::map<std::string, std::pair<std::string, DWORD>>{
                          {"f", {HostPath("C:\\*"), kFilterAttributes}},
                          {"a", {HostPath("C:\\a"), kNameAttributes}},
                          {"b", {HostPath("D:\\b"), kNameAttributes}},
                          {"c", {HostPath("C:\\c"), kNameAttributes}},
                          {"t", {HostPath("C:\\t"), kHiddenAttributes}}}));

    // The host keeps its own copies of the selected items: the filter and the name c.
    for (int i = 0; i < count; ++i) {
        const unsigned char* item = bytes + i * kHostItem.size;
        if (HostItemName(item) == "f" || HostItemName(item) == "c") {
            hostSelection.insert(hostSelection.end(), item, item + kHostItem.size);
        }
    }
    ASSERT_EQ(hostSelection.size(), 2 * kHostItem.size);
    script_.AnswerMessage(0);
    EXPECT_EQ(host_->PressKey(KEY_F8, 0), 1);
    EXPECT_TRUE(StoredNames("\\Filters").empty());
    EXPECT_EQ(StoredNames("\\Keys"), InEnumerationOrder({"a", "b"}));
    EXPECT_EQ(StoredNames("\\TempKeys"), std::vector<std::string>{"t"});
}

}  // namespace
