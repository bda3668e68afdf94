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
    if (section.ReadDword(name, value)) {
        return value;
    }
    section.WriteDword(name, fallback);
    return fallback;
}

void LoadSettings() {
    try {
        RegSection root(true);
        if (!root.ReadString("Prefix", Settings.Prefix)) {
            root.WriteString("Prefix", kDefaultPrefix);
            Settings.Prefix.Assign(kDefaultPrefix);
        }
        Settings.ShowErrors = ReadDwordOrDefault(root, "ShowErrors", 0);
        Settings.ShowInPluginsMenu = ReadDwordOrDefault(root, "ShowInPluginsMenu", 1);
        Settings.ShowInDiskMenu = ReadDwordOrDefault(root, "ShowInDiskMenu", 1);
        Settings.ShowTemporaryNamesAsHideFiles =
            ReadDwordOrDefault(root, "ShowTemporaryNamesAsHideFiles", 1);
        Settings.UseHighlighting = 1;
        Settings.AutoComplite = ReadDwordOrDefault(root, "AutoComplite", 1);
    } catch (...) {
        // Nothing can be reported yet: the host's services are not there before the load.
        try {
            Settings.Prefix.Assign(kDefaultPrefix);
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
