// The names for the shells are written while the permanent names are walked. Filters and
// temporary names are few and are held to leave out the names met twice; the permanent names are
// never held. The folders below a name are read from its directory. The table of `list` judges
// each name's directory for its note.
#include "name_listing.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "commands/jump_target.h"
#include "dead_names.h"
#include "store_sections.h"
#include "exit_status.h"
#include "far2l/far2l_entry_points.h"
#include "name_table.h"
#include "store/name_store.h"
#include "store/text_buffer.h"
#include "store_fault.h"
#include "visible_text.h"

namespace {

// The shells read one name per line, and take each as it stands. A name that holds a line end
// would be offered as two names that are not stored; it is written on one line with its control
// bytes shown, so it is offered once and visibly (the shells cannot complete it to the stored
// bytes either way). So is a name holding a tab where a tab ends the name. Every other name is
// written byte for byte; `beside`, when not empty, follows a tab.
void WriteLine(std::FILE* out, const std::string& name, NameLines lines,
               const std::string& beside = "") {
    bool described = lines == NameLines::kWithDirectories;
    bool visible =
        name.find('\n') != std::string::npos || (described && name.find('\t') != std::string::npos);
    std::string line = visible ? VisibleText(name) : name;
    if (described && !beside.empty()) {
        line += '\t' + beside;
    }
    std::fwrite(line.data(), 1, line.size(), out);
    std::fputc('\n', out);
}

// A target as fish shows it beside a name: the home folder written ~, control bytes shown.
std::string Beside(const std::string& target) {
    const char* home = std::getenv("HOME");
    size_t length = home != nullptr ? std::strlen(home) : 0;
    bool inHome = length > 1 && target.compare(0, length, home) == 0 &&
                  (target.size() == length || target[length] == '/');
    return VisibleText(inHome ? "~" + target.substr(length) : target);
}

using Visit = std::function<bool(const StoreValue&)>;
using SectionVisit = std::function<bool(StoreSection, const Visit&)>;

// Beside more names than this, a Tab in fish lists far more than a screen holds, and each
// directory costs the store a look-up: the names are then written alone, so that the Tab stays as
// quick as without the directories.
constexpr int kMostWithDirectories = 1000;

// The lines to write: none with directories for more permanent names than that.
NameLines LinesFor(NameLines lines, const SectionVisit& visitNames) {
    int count = 0;
    if (lines == NameLines::kWithDirectories) {
        visitNames(StoreSection::kKeys,
                   [&count](const StoreValue&) { return ++count <= kMostWithDirectories; });
    }
    return count > kMostWithDirectories ? NameLines::kNames : lines;
}

bool WriteFrom(std::FILE* out, const SectionVisit& visit, NameLines lines) {
    // Temporary names are few, and are held: a jump to a name goes to the temporary one first,
    // and one of a permanent name's name is written with it.
    std::unordered_map<std::string, std::string> temporaryTargets;
    std::vector<std::string> temporary;
    std::unordered_set<std::string> temporaryLeft;
    // Each section is read whatever became of the others: a broken volatile store still leaves
    // the permanent names to complete.
    bool temporaryRead = visit(StoreSection::kTempKeys, [&](const StoreValue& value) {
        std::string folded = NameKey(value.name);
        if (temporaryTargets.emplace(folded, value.Text()).second) {
            temporary.push_back(value.name);
            temporaryLeft.insert(folded);
        }
        return true;
    });
    bool described = lines == NameLines::kWithDirectories;
    // What a jump to a name finds, for the lines that show it.
    auto besideName = [&](const std::string& folded, const std::string& own) {
        auto found = temporaryTargets.find(folded);
        return !described ? "" : Beside(found != temporaryTargets.end() ? found->second : own);
    };
    std::unordered_set<std::string> written;
    bool filtersRead = visit(StoreSection::kFilters, [&](const StoreValue& value) {
        std::string folded = NameKey(value.name);
        if (!written.insert(folded).second) {
            return true;
        }
        // A jump to a name goes before the filter of that name.
        StoreValue name;
        std::string beside;
        if (described && temporaryTargets.count(folded) == 0 &&
            ReadValue(StoreSection::kKeys, value.name, &name) != StoreResult::kDone) {
            beside = "filter " + VisibleText(value.Text());
        } else {
            beside = besideName(folded, name.Text());
        }
        WriteLine(out, value.name, lines, beside);
        return true;
    });
    bool keysRead = visit(StoreSection::kKeys, [&](const StoreValue& value) {
        std::string folded = NameKey(value.name);
        if (written.count(folded) == 0) {
            WriteLine(out, value.name, lines, besideName(folded, value.Text()));
            temporaryLeft.erase(folded);
        }
        return true;
    });
    for (const std::string& name : temporary) {
        std::string folded = NameKey(name);
        if (written.count(folded) == 0 && temporaryLeft.count(folded) != 0) {
            WriteLine(out, name, lines, besideName(folded, ""));
        }
    }
    return filtersRead && temporaryRead && keysRead;
}

bool WriteFoldersBelow(std::FILE* out, const std::string& typed, NameLines lines) {
    size_t last = typed.find_last_of("/\\");
    std::string head = typed.substr(0, last);
    std::string part = typed.substr(last + 1);
    TextBuffer target;
    try {
        if (JumpTarget(head.c_str(), far2l::kPathSeparator, target) != 1 ||
            PluginCommandPos(target.Text()) != 0) {
            return StoreFaults().empty();
        }
    } catch (...) {
        return false;
    }
    std::vector<std::string> folders;
    if (DIR* directory = opendir(target.Text())) {
        while (dirent* entry = readdir(directory)) {
            std::string name = entry->d_name;
            if (name == "." || name == ".." || (part.empty() && name[0] == '.') ||
                name.compare(0, part.size(), part) != 0) {
                continue;
            }
            struct stat status;
            bool folder = entry->d_type == DT_DIR;
            if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
                std::string path = std::string(target.Text()) + "/" + name;
                folder = stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
            }
            if (folder) {
                folders.push_back(typed.substr(0, last + 1) + name + "/");
            }
        }
        closedir(directory);
    }
    std::sort(folders.begin(), folders.end());
    for (const std::string& folder : folders) {
        WriteLine(out, folder, lines);
    }
    return StoreFaults().empty();
}

}  // namespace

bool WriteNames(std::FILE* out, NameLines lines) {
    lines = LinesFor(lines, VisitNames);
    return WriteFrom(out, lines == NameLines::kNames ? VisitNames : VisitSection, lines);
}

bool WriteNamesBeginningWith(std::FILE* out, const std::string& prefix, NameLines lines) {
    if (FirstSeparator(prefix.c_str()) != nullptr) {
        return WriteFoldersBelow(out, prefix, lines);
    }
    SectionVisit names = [&prefix](StoreSection section, const Visit& visit) {
        return VisitNamesBeginningWith(section, prefix, visit);
    };
    lines = LinesFor(lines, names);
    SectionVisit values = [&prefix](StoreSection section, const Visit& visit) {
        return VisitSectionBeginningWith(section, prefix, visit);
    };
    return WriteFrom(out, lines == NameLines::kNames ? names : values, lines);
}

int RunList() {
    std::vector<StoreEntry> entries;
    bool read = ReadEntries(&entries);
    std::vector<std::string> found;
    for (const StoreEntry& entry : entries) {
        bool name = entry.section != StoreSection::kFilters;
        found.push_back(name ? FoundNote(JudgeTarget(entry.text)) : "");
    }
    WriteTable(entries, found);
    return read ? kExitDone : SayStoreFault();
}
