// The jump to a stored name goes through the module's own look-up (JumpTarget), with far2l's
// separator and without the completion, which may ask with a menu; a target with a command for
// the file manager is left to the module. For a name stored nowhere, the module's look-ups: the
// name, a filter of the whole text, and the completion from the permanent names.
#include "stored_jump.h"

#include <sys/stat.h>

#include <cstdlib>

#include "commands/jump_target.h"
#include "host/far2l_entry_points.h"
#include "host/settings.h"
#include "store/name_store.h"
#include "store/reg_section.h"
#include "store/text_buffer.h"
#include "store_fault.h"
#include "value_prefix.h"

namespace {

// A switch of the module's options as the module reads it: the default where none is stored.
DWORD Option(RegSection& root, const char* name, DWORD fallback) {
    DWORD value = 0;
    return root.ReadDword(name, value) ? value : fallback;
}

// True when the module's completion would offer nothing for `name`: completion is off, or no
// permanent name begins with it. A name with a wildcard, or with a letter beyond ASCII (which
// the host matches in either case and the store's index does not), is left to the module's own
// match.
bool NothingToComplete(RegSection& root, const std::string& name) {
    if (Option(root, "AutoComplite", kDefaultAutoComplite) == 0) {
        return true;
    }
    for (unsigned char byte : name) {
        if (byte == '*' || byte == '?' || byte == '[' || byte >= 0x80) {
            return false;
        }
    }
    RegSection keys(kKeysSection, true);
    return VelmoraValueNameBeginsWith(keys.key, name.c_str()) == ERROR_FILE_NOT_FOUND;
}

bool IsJump(const std::string& text) {
    return !text.empty() && text[0] != '+' && text[0] != ':' && text[0] != '-';
}

}  // namespace

std::string JumpName(const std::string& text) {
    const char* separator = FirstSeparator(text.c_str());
    return separator == nullptr ? text : text.substr(0, separator - text.c_str());
}

bool StoredDirectory(const std::string& text, std::string* directory) {
    if (!IsJump(text)) {
        return false;
    }
    TextBuffer target;
    try {
        if (JumpTarget(text.c_str(), far2l::kPathSeparator, false, target) != 1) {
            return false;
        }
    } catch (...) {
        return false;
    }
    if (!StoreFaults().empty() || PluginCommandPos(target.Text()) != 0) {
        return false;
    }
    *directory = target.Text();
    return true;
}

bool StoredNowhere(const std::string& text, std::string* name) {
    std::string typed = JumpName(text);
    if (!IsJump(text) || typed.empty()) {
        return false;
    }
    try {
        TextBuffer found;
        RegSection root(true);
        // A missed name that names a filter opens the panel, and a miss the module reports
        // shows its error box: both are the module's to do.
        if (LookupName(typed.c_str(), found) == 1 || LookupFilter(text.c_str(), found) ||
            Option(root, "ShowErrors", kDefaultShowErrors) != 0 ||
            !NothingToComplete(root, typed)) {
            return false;
        }
    } catch (...) {
        return false;
    }
    if (!StoreFaults().empty()) {
        return false;
    }
    *name = typed;
    return true;
}

bool TypedDirectory(const std::string& text, std::string* directory) {
    if (text.empty() || (text[0] != '/' && text[0] != '~' && text[0] != '.')) {
        return false;
    }
    std::string path = text;
    const char* home = std::getenv("HOME");
    bool dotted = text == "." || text == ".." || text.compare(0, 2, "./") == 0 ||
                  text.compare(0, 3, "../") == 0;
    if (text[0] == '~' && (text.size() == 1 || text[1] == '/') && home != nullptr && *home != 0) {
        path = home + text.substr(1);
    } else if (text[0] != '/' && !dotted) {
        path = "./" + text;
    }
    struct stat status;
    if (stat(path.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) {
        return false;
    }
    // A name wins over a folder of the same name; a path beginning with '/' names none. A store
    // that cannot say leaves the path to go to, and its fault is said beside it.
    std::string name = JumpName(text);
    TextBuffer found;
    try {
        if (!name.empty() && LookupName(name.c_str(), found) == 1) {
            return false;
        }
    } catch (...) {
        return false;
    }
    *directory = path;
    return true;
}
