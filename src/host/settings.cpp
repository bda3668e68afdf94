// The options in the registry: the prefix as text, the switches as numbers, in a fixed order.
// "AutoComplite" keeps the spelling under which it has always been stored.
#include "settings.h"

#include "store/errors.h"

const StoredOption kStoredOptions[7] = {
    {"Prefix", nullptr, 0},
    {"ShowErrors", &SettingsRecord::ShowErrors, 0},
    {"ShowInPluginsMenu", &SettingsRecord::ShowInPluginsMenu, 1},
    {"ShowInDiskMenu", &SettingsRecord::ShowInDiskMenu, 1},
    {"ShowTemporaryNamesAsHideFiles", &SettingsRecord::ShowTemporaryNamesAsHideFiles, 1},
    {"UseHighlighting", &SettingsRecord::UseHighlighting, 1},
    {"AutoComplite", &SettingsRecord::AutoComplite, 1},
};

namespace {

// The stored REG_DWORD value of `name`, or `fallback`, written back when the value is missing
// or of another type (not when it could not be read) and `writeBack` is set.
DWORD ReadDwordOrDefault(RegSection& section, const char* name, DWORD fallback, bool writeBack) {
    DWORD value = 0;
    bool failed = false;
    if (section.ReadDword(name, value, &failed)) {
        return value;
    }
    // A read that failed, say for a moment of the disk, leaves the user's value alone.
    if (!failed && writeBack) {
        section.WriteDword(name, fallback);
    }
    return fallback;
}

}  // namespace

void LoadSettings(bool writeDefaults) {
    try {
        RegSection root(true);
        // Read aside and then take it over: the block the host was handed as the command
        // prefix stays readable should the host hand over its services a second time.
        TextBuffer stored;
        bool failed = false;
        if (root.ReadString("Prefix", stored, &failed)) {
            ReplacePrefix(stored.Text());
        } else {
            if (!failed && writeDefaults) {
                root.WriteString("Prefix", kDefaultPrefix);
            }
            ReplacePrefix(kDefaultPrefix);
        }
        for (const StoredOption& option : kStoredOptions) {
            if (option.number == &SettingsRecord::UseHighlighting) {
                // Highlighting is always on: a stored value has no effect, and none is written.
                Settings.UseHighlighting = option.fallback;
            } else if (option.number != nullptr) {
                Settings.*option.number =
                    ReadDwordOrDefault(root, option.name, option.fallback, writeDefaults);
            }
        }
    } catch (...) {
        // Nothing can be reported yet: the host's services are not there before the load.
        try {
            ReplacePrefix(kDefaultPrefix);
        } catch (...) {
        }
    }
}

void SaveSettings() {
    RegSection root(true);
    for (const StoredOption& option : kStoredOptions) {
        if (option.number == nullptr) {
            root.WriteString(option.name, Settings.Prefix.Text());
        } else {
            root.WriteDword(option.name, Settings.*option.number);
        }
    }
}
