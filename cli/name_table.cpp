// The table of names. The name column takes what the longest name needs, up to a third of the
// terminal, so that the directories, the part people read, get the rest.
#include "name_table.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "dead_names.h"
#include "exit_status.h"
#include "screen_text.h"
#include "store/name_store.h"
#include "store_fault.h"
#include "visible_text.h"

namespace {

// The first column gets at least this many columns however narrow the terminal.
constexpr int kNarrowestName = 8;
const int kGap = 2;

struct Row {
    std::string name, text, note;
};

// The terminal's width, or 0 when standard output is not a terminal.
int TerminalWidth() {
    winsize size;
    if (!isatty(STDOUT_FILENO) || ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0) {
        return 0;
    }
    return size.ws_col;
}

std::string NoteOf(const StoreEntry& entry) {
    if (entry.section == StoreSection::kFilters) {
        return "filter";
    }
    std::string note = entry.section == StoreSection::kTempKeys ? "temporary" : "";
    // The file manager runs such a target in its command line instead of going to a directory.
    if (PluginCommandPos(entry.text.c_str()) != 0) {
        note += note.empty() ? "command" : ", command";
    }
    TargetState state = JudgeTarget(entry.text);
    if (state != TargetState::kPresent) {
        note += std::string(note.empty() ? "" : ", ") +
                (state == TargetState::kGone ? "gone" : "unreachable");
    }
    return note;
}

bool ListedBefore(const StoreEntry& a, const StoreEntry& b) {
    bool aFilter = a.section == StoreSection::kFilters;
    bool bFilter = b.section == StoreSection::kFilters;
    if (aFilter != bFilter) {
        return bFilter;
    }
    std::string aKey = NameKey(a.name), bKey = NameKey(b.name);
    return aKey != bKey ? aKey < bKey : a.section < b.section;
}

}  // namespace

void WriteTable(const std::vector<StoreEntry>& entries) {
    std::vector<const StoreEntry*> sorted;
    for (const StoreEntry& entry : entries) {
        sorted.push_back(&entry);
    }
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const StoreEntry* a, const StoreEntry* b) { return ListedBefore(*a, *b); });
    bool utf8 = LocaleIsUtf8();
    int width = TerminalWidth();
    // Piped, the fields are read back by programs: a backslash is escaped too, so that every
    // name and path comes through whole.
    bool lossless = width == 0;
    std::vector<Row> rows;
    int nameWidth = 0, textWidth = 0, noteWidth = 0;
    for (const StoreEntry* entry : sorted) {
        rows.push_back({VisibleText(entry->name, lossless), VisibleText(entry->text, lossless),
                        NoteOf(*entry)});
        nameWidth = std::max(nameWidth, DisplayWidth(rows.back().name, utf8));
        textWidth = std::max(textWidth, DisplayWidth(rows.back().text, utf8));
        noteWidth = std::max(noteWidth, DisplayWidth(rows.back().note, utf8));
    }
    if (width > 0) {
        int room = width - kGap - (noteWidth > 0 ? kGap + noteWidth : 0);
        room = std::max(room, kNarrowestName * 2);
        nameWidth = std::min(nameWidth, std::max(room / 3, kNarrowestName));
        textWidth = std::min(textWidth, room - nameWidth);
    }
    for (const Row& row : rows) {
        std::string line;
        if (width == 0) {
            // Piped: the fields whole, separated by tabs, for cut and awk.
            line = row.name + '\t' + row.text + '\t' + row.note;
        } else {
            line = FitToWidth(row.name, nameWidth, utf8, true) + std::string(kGap, ' ');
            line += FitToWidth(row.text, textWidth, utf8, !row.note.empty());
            line += row.note.empty() ? "" : std::string(kGap, ' ') + row.note;
        }
        std::printf("%s\n", line.c_str());
    }
}

int RunList() {
    std::vector<StoreEntry> entries;
    bool read = ReadEntries(&entries);
    WriteTable(entries);
    return read ? kExitDone : SayStoreFault();
}
