// The names for the shells are written while the permanent names are walked. Filters and
// temporary names are few and are held to leave out the names met twice; the permanent names are
// never held. The table of `list` judges each name's directory for its note.
#include "name_listing.h"

#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

#include "dead_names.h"
#include "direct_store.h"
#include "exit_status.h"
#include "name_table.h"
#include "store_fault.h"
#include "visible_text.h"

namespace {

// The shells read one name per line, and take each as it stands. A name that holds a line end
// would be offered as two names that are not stored; it is written on one line with its control
// bytes shown, so it is offered once and visibly (the shells cannot complete it to the stored
// bytes either way). Every other name is written byte for byte.
void WriteLine(std::FILE* out, const std::string& name) {
    std::string line = name.find('\n') == std::string::npos ? name : VisibleText(name);
    std::fwrite(line.data(), 1, line.size(), out);
    std::fputc('\n', out);
}

using SectionVisit =
    std::function<bool(StoreSection, const std::function<bool(const StoreValue&)>&)>;

bool WriteFrom(std::FILE* out, const SectionVisit& visitNames) {
    std::unordered_set<std::string> written;
    bool filtersRead = visitNames(StoreSection::kFilters, [&](const StoreValue& value) {
        if (written.insert(NameKey(value.name)).second) {
            WriteLine(out, value.name);
        }
        return true;
    });
    // Each section is read whatever became of the others: a broken volatile store still leaves
    // the permanent names to complete.
    std::vector<std::string> temporary;
    std::unordered_set<std::string> temporaryFolded;
    bool temporaryRead = visitNames(StoreSection::kTempKeys, [&](const StoreValue& value) {
        if (temporaryFolded.insert(NameKey(value.name)).second) {
            temporary.push_back(value.name);
        }
        return true;
    });
    bool keysRead = visitNames(StoreSection::kKeys, [&](const StoreValue& value) {
        std::string folded = NameKey(value.name);
        if (written.count(folded) == 0) {
            WriteLine(out, value.name);
            temporaryFolded.erase(folded);
        }
        return true;
    });
    for (const std::string& name : temporary) {
        std::string folded = NameKey(name);
        if (written.count(folded) == 0 && temporaryFolded.count(folded) != 0) {
            WriteLine(out, name);
        }
    }
    return filtersRead && temporaryRead && keysRead;
}

}  // namespace

bool WriteNames(std::FILE* out) {
    return WriteFrom(out, VisitNames);
}

bool WriteNamesBeginningWith(std::FILE* out, const std::string& prefix) {
    return WriteFrom(
        out, [&prefix](StoreSection section, const std::function<bool(const StoreValue&)>& visit) {
            return VisitNamesBeginningWith(section, prefix, visit);
        });
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
