// The options in the registry: the prefix as text, the switches as numbers, in a fixed order.
// "AutoComplite" keeps the spelling under which it has always been stored.
#include "settings.h"

#include "../store/errors.h"
#include "module_state.h"

namespace {

const char kDefaultPrefix[] = "cd:";

}  // namespace

DWORD ReadDwordOrDefault(RegSection& section, const char* name, DWORD fallback) {
    DWORD value = 0;
    bool failed = false;
    if (section.ReadDword(name, value, &failed)) {
        return value;
    }
    // A read that failed, say for a moment of the disk, leaves the user's value alone.
    if (!failed) {
        section.WriteDword(name, fallback);
    }
    return fallback;
}

void LoadSettings() {
    try {
        RegSection root(true);
        // Read aside and then take it over: the block the host was handed as the command
        // prefix stays readable should the host hand over its services a second time.
        TextBuffer stored;
        bool failed = false;
        if (root.ReadString("Prefix", stored, &failed)) {
            ReplacePrefix(stored.Text());
        } else {
            if (!failed) {
                root.WriteString("Prefix", kDefaultPrefix);
            }
            ReplacePrefix(kDefaultPrefix);
        }
        Settings.ShowErrors = ReadDwordOrDefault(root, "ShowErrors", kDefaultShowErrors);
        Settings.ShowInPluginsMenu = ReadDwordOrDefault(root, "ShowInPluginsMenu", 1);
        Settings.ShowInDiskMenu = ReadDwordOrDefault(root, "ShowInDiskMenu", 1);
        Settings.ShowTemporaryNamesAsHideFiles =
            ReadDwordOrDefault(root, "ShowTemporaryNamesAsHideFiles", 1);
        Settings.UseHighlighting = 1;
        Settings.AutoComplite = ReadDwordOrDefault(root, "AutoComplite", kDefaultAutoComplite);
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
    root.WriteString("Prefix", Settings.Prefix.Text());
    root.WriteDword("ShowErrors", Settings.ShowErrors);
    root.WriteDword("ShowInPluginsMenu", Settings.ShowInPluginsMenu);
    root.WriteDword("ShowInDiskMenu", Settings.ShowInDiskMenu);
    root.WriteDword("ShowTemporaryNamesAsHideFiles", Settings.ShowTemporaryNamesAsHideFiles);
    root.WriteDword("UseHighlighting", Settings.UseHighlighting);
    root.WriteDword("AutoComplite", Settings.AutoComplite);
}
