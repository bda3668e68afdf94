// The program's words for a jump the module resolved (name_commands.h): a miss, with how to type a
// name and a folder below it that the shell's words split; and a path typed for a jump, which a
// shell user types as with cd.
#include "stored_jump.h"

#include <sys/stat.h>

#include <cstdlib>

#include "commands/jump_target.h"
#include "store/name_store.h"
#include "store/text_buffer.h"

namespace {

// The name a jump to `text`, as typed behind the prefix, looks up: the text up to its first
// separator.
std::string JumpName(const std::string& text) {
    const char* separator = FirstSeparator(text.c_str());
    return separator == nullptr ? text : text.substr(0, separator - text.c_str());
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
    *directory = path;
    return true;
}
