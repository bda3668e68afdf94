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

bool IsStored(const std::string& name) {
    TextBuffer found;
    try {
        return !name.empty() && LookupName(name.c_str(), found) == 1;
    } catch (...) {
        return false;
    }
}

std::string WithoutBlanksAt(std::string text, bool front) {
    size_t end = front ? text.find_first_not_of(' ') : text.find_last_not_of(' ');
    if (end == std::string::npos) {
        return "";
    }
    return front ? text.substr(end) : text.substr(0, end + 1);
}

// The stored name and the folder below it that `text` was meant as, when the shell's words were
// joined around a blank: a blank before the first separator made the name another ("proj /src"
// looks up "proj "), and a blank inside the name joined a folder to it ("proj src").
bool MeantBelow(const std::string& text, std::string* name, std::string* rest) {
    const char* separator = FirstSeparator(text.c_str());
    size_t at = separator != nullptr ? separator - text.c_str() : text.size();
    std::string typed = text.substr(0, at);
    *name = WithoutBlanksAt(typed, false);
    if (separator != nullptr && *name != typed && IsStored(*name)) {
        *rest = WithoutBlanksAt(text.substr(at + 1), true);
        return true;
    }
    size_t blank = typed.find(' ');
    if (blank == std::string::npos) {
        return false;
    }
    *name = typed.substr(0, blank);
    *rest = WithoutBlanksAt(text.substr(blank), true);
    return !rest->empty() && IsStored(*name);
}

}  // namespace

std::string JumpName(const std::string& text) {
    const char* separator = FirstSeparator(text.c_str());
    return separator == nullptr ? text : text.substr(0, separator - text.c_str());
}

std::string NoName(const std::string& name) {
    return "no name '" + name + "'";
}

std::string MissedJump(const std::string& text) {
    std::string typed = JumpName(text), name, rest;
    if (MeantBelow(text, &name, &rest)) {
        return NoName(typed) + "; a folder below a name goes behind a / without blanks: " + name +
               "/" + rest;
    }
    // "proj /src" with no name proj either: the name meant is the one without the blank.
    std::string meant =
        FirstSeparator(text.c_str()) != nullptr ? WithoutBlanksAt(typed, false) : "";
    return NoName(meant.empty() ? typed : meant);
}

bool StoredDirectory(const std::string& text, std::string* directory) {
    if (!IsJump(text)) {
        return false;
    }
    TextBuffer target;
    try {
        if (JumpTarget(text.c_str(), far2l::kPathSeparator, target) != 1) {
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

bool StoredNowhere(const std::string& text, std::string* said) {
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
    *said = MissedJump(text);
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
