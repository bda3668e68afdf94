// The registry functions themselves, as the module relies on them. The same tests run against
// our POSIX store and against the Windows registry under Wine, so the two agree; under Wine also
// how the module's texts, in the host's OEM code page, reach the system's UTF-16 and back.
#include <string>

#include "fresh_store.h"
#include "platform.h"
#include "registry_probe.h"

namespace {

class RegistryApiTest : public FreshStoreTest {
  protected:
    HKEY Create(const char* section, DWORD options, DWORD* disposition = nullptr) {
        HKEY key = nullptr;
        std::string path = ModuleKeyPath(section);
        EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, options,
                                  KEY_ALL_ACCESS, nullptr, &key, disposition),
                  ERROR_SUCCESS);
        return key;
    }
};

TEST_F(RegistryApiTest, CreateOpensExistingKeyAndReportsDisposition) {
    DWORD disposition = 0;
    HKEY first = Create("\\Keys", REG_OPTION_NON_VOLATILE, &disposition);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    HKEY reader = Create("\\Keys", REG_OPTION_NON_VOLATILE);
    RegSetValueExA(first, "a", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);
    RegCloseKey(first);
    // Both handles stand for one key, whichever of them wrote it first.
    char text[4] = {};
    DWORD size = sizeof text;
    EXPECT_EQ(RegQueryValueExA(reader, "a", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(text, "x");
    RegCloseKey(reader);
    HKEY again = Create("\\Keys", REG_OPTION_VOLATILE, &disposition);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
    RegCloseKey(again);
    EXPECT_EQ(StoredText("\\Keys", "a"), "x");
}

TEST_F(RegistryApiTest, QueryReportsNeededSizeWithMoreData) {
    HKEY key = Create("", REG_OPTION_NON_VOLATILE);
    std::string text(99, 't');
    RegSetValueExA(key, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), 100);
    char small[10];
    DWORD size = sizeof small, type = 0;
    EXPECT_EQ(RegQueryValueExA(key, "v", nullptr, &type, reinterpret_cast<BYTE*>(small), &size),
              ERROR_MORE_DATA);
    EXPECT_EQ(size, 100u);
    size = 0;
    EXPECT_EQ(RegQueryValueExA(key, "missing", nullptr, &type, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
}

TEST_F(RegistryApiTest, ValueNamesIgnoreAsciiCase) {
    HKEY key = Create("", REG_OPTION_NON_VOLATILE);
    DWORD one = 1, two = 2, read = 0, size = sizeof read;
    RegSetValueExA(key, "ShowErrors", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4);
    RegSetValueExA(key, "SHOWERRORS", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&two), 4);
    EXPECT_EQ(RegQueryValueExA(key, "showerrors", nullptr, nullptr, reinterpret_cast<BYTE*>(&read),
                               &size),
              ERROR_SUCCESS);
    EXPECT_EQ(read, 2u);
    DWORD values = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                     nullptr, nullptr, nullptr);
    EXPECT_EQ(values, 1u);
    EXPECT_EQ(RegDeleteValueA(key, "SHOWerrors"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueA(key, "ShowErrors"), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
}

TEST_F(RegistryApiTest, EnumerationEndsWithNoMoreItems) {
    HKEY key = Create("\\Filters", REG_OPTION_NON_VOLATILE);
    RegSetValueExA(key, "only", 0, REG_SZ, reinterpret_cast<const BYTE*>("*"), 2);
    char name[260];
    DWORD size = sizeof name;
    EXPECT_EQ(RegEnumValueA(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_STREQ(name, "only");
    EXPECT_EQ(size, 4u);
    size = sizeof name;
    EXPECT_EQ(RegEnumValueA(key, 1, name, &size, nullptr, nullptr, nullptr, nullptr),
              ERROR_NO_MORE_ITEMS);
    RegCloseKey(key);
}

TEST_F(RegistryApiTest, WalkThatTurnsToReadingValuesGetsEachValuesOwn) {
    HKEY key = Create("\\Keys", REG_OPTION_NON_VOLATILE);
    for (DWORD n = 0; n < 40; ++n) {
        std::string name = "n" + std::to_string(n);
        if (n % 2 == 0) {
            std::string text = "path" + std::to_string(n);
            RegSetValueExA(key, name.c_str(), 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(text.c_str()),
                           static_cast<DWORD>(text.size() + 1));
        } else {
            RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&n), 4);
        }
    }
    // Names alone first, then each name's value queried, then names with types and data. The
    // registry's own order may differ from the order of writing; each name says its value.
    for (DWORD i = 0; i < 40; ++i) {
        char name[32];
        BYTE data[32] = {};
        DWORD nameSize = sizeof name, dataSize = sizeof data, type = REG_NONE;
        LONG status =
            i < 10 ? RegEnumValueA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr)
                   : RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize);
        ASSERT_EQ(status, ERROR_SUCCESS);
        if (i >= 5 && i < 10) {
            dataSize = sizeof data;
            ASSERT_EQ(RegQueryValueExA(key, name, nullptr, &type, data, &dataSize), ERROR_SUCCESS);
        }
        DWORD n = static_cast<DWORD>(std::stoul(name + 1));
        if (i >= 5 && n % 2 == 0) {
            EXPECT_EQ(type, static_cast<DWORD>(REG_SZ)) << name;
            EXPECT_STREQ(reinterpret_cast<char*>(data), ("path" + std::to_string(n)).c_str());
        } else if (i >= 5) {
            EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD)) << name;
            EXPECT_EQ(*reinterpret_cast<DWORD*>(data), n);
        }
    }
    RegCloseKey(key);
}

TEST_F(RegistryApiTest, ValueNamesLongerThanTheRegistryHoldsAreRefused) {
    HKEY key = Create("\\Keys", REG_OPTION_NON_VOLATILE);
    std::string longest(16383, 'n');
    std::string tooLong(16384, 'n');
    const BYTE* text = reinterpret_cast<const BYTE*>("x");
    EXPECT_EQ(RegSetValueExA(key, longest.c_str(), 0, REG_SZ, text, 2), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, tooLong.c_str(), 0, REG_SZ, text, 2), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExA(key, "after", 0, REG_SZ, text, 2), ERROR_SUCCESS);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(key, tooLong.c_str(), nullptr, nullptr, nullptr, &size),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteValueA(key, tooLong.c_str()), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
    EXPECT_EQ(StoredNames("\\Keys"), InEnumerationOrder({longest, "after"}));
}

#ifdef _WIN32
// Texts as the host's OEM code page writes them, and as the system holds them.
std::string InOemPage(const std::wstring& text) {
    int size = WideCharToMultiByte(CP_OEMCP, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                   0, nullptr, nullptr);
    std::string out(size, '\0');
    WideCharToMultiByte(CP_OEMCP, 0, text.data(), static_cast<int>(text.size()), &out[0], size,
                        nullptr, nullptr);
    return out;
}

std::wstring FromOemPage(const std::string& text) {
    int size =
        MultiByteToWideChar(CP_OEMCP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(size, L'\0');
    MultiByteToWideChar(CP_OEMCP, 0, text.data(), static_cast<int>(text.size()), &out[0], size);
    return out;
}

std::wstring StoredWide(HKEY key, const std::wstring& name) {
    wchar_t data[512] = {};
    DWORD size = sizeof data - sizeof(wchar_t), type = 0;
    if (RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size) !=
        ERROR_SUCCESS) {
        return L"<missing>";
    }
    return data;
}

TEST_F(RegistryApiTest, TextsOfTheOemPageAreStoredAsTheCharactersTheyAre) {
    HKEY key = Create("\\Keys", REG_OPTION_NON_VOLATILE);
    // Every character of the page beyond ASCII, in the name and in the value.
    std::string page;
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        page += static_cast<char>(byte);
    }
    ASSERT_EQ(
        RegSetValueExA(key, page.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(page.c_str()),
                       static_cast<DWORD>(page.size() + 1)),
        ERROR_SUCCESS);
    EXPECT_EQ(StoredWide(key, FromOemPage(page)), FromOemPage(page))
        << "what another program reads";
    EXPECT_EQ(StoredText("\\Keys", page.c_str()), page);
    EXPECT_EQ(StoredNames("\\Keys"), std::vector<std::string>{page});
    RegCloseKey(key);
}

TEST_F(RegistryApiTest, TextsThePageCannotWriteAreListedAndReachedAsEscapes) {
    HKEY key = Create("\\Keys", REG_OPTION_NON_VOLATILE);
    // Written by another program: a character no OEM page has, one outside the 16-bit range,
    // and a text that looks like the escape itself.
    const std::wstring name = L"x\u4E2D\U0001F600";
    const std::wstring value = L"C:\\\u4E2D\\<U+0041>";
    ASSERT_EQ(
        RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
        ERROR_SUCCESS);
    const std::string listed = "x<U+4E2D><U+1F600>";
    const std::string read = "C:\\<U+4E2D>\\<U+003C>U+0041>";
    ASSERT_EQ(StoredNames("\\Keys"), std::vector<std::string>{listed});
    EXPECT_EQ(StoredText("\\Keys", listed.c_str()), read);
    // Written back as read, it is the same text.
    ASSERT_EQ(
        RegSetValueExA(key, listed.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(read.c_str()),
                       static_cast<DWORD>(read.size() + 1)),
        ERROR_SUCCESS);
    EXPECT_EQ(StoredWide(key, name), value);
    EXPECT_EQ(RegDeleteValueA(key, listed.c_str()), ERROR_SUCCESS);
    EXPECT_TRUE(StoredNames("\\Keys").empty());
    RegCloseKey(key);
}

TEST_F(RegistryApiTest, AProcessGetsItsCommandLineInTheCharactersOfTheOemPage) {
    wchar_t temp[MAX_PATH];
    ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
    // A letter of the page beyond ASCII, which the ANSI page reads as another.
    std::wstring folder = std::wstring(temp) + L"velmora-" + FromOemPage("\x82\x9A\xE1");
    RemoveDirectoryW(folder.c_str());
    std::string line = "cmd.exe /c mkdir \"" + InOemPage(folder) + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                               nullptr, nullptr, &startup, &process));
    WaitForSingleObject(process.hProcess, 30000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_NE(GetFileAttributesW(folder.c_str()), INVALID_FILE_ATTRIBUTES);
    RemoveDirectoryW(folder.c_str());
}
#endif

}  // namespace
