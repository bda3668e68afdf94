// The table of names. The name column takes what the longest name needs, up to a third of the
// terminal or what the directories leave, so that the directories, the part people read, get the
// rest. At a terminal no line is longer than its width, and a cut text shows that it is cut.
#include "name_table.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <numeric>

#include "screen_text.h"
#include "store/name_store.h"
#include "visible_text.h"

namespace {

// The first column gets at least this many columns however narrow the terminal; the directories
// are shown only when they can have this many.
constexpr int kNarrowestName = 8;
constexpr int kNarrowestText = 10;
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

// `found`: what was found of the entry's directory.
std::string NoteOf(const StoreEntry& entry, const std::string& found) {
    if (entry.section == StoreSection::kFilters) {
        return "filter";
    }
    std::string note = entry.section == StoreSection::kTempKeys ? "temporary" : "";
    // The file manager runs such a target in its command line instead of going to a directory.
    if (PluginCommandPos(entry.text.c_str()) != 0) {
        note += note.empty() ? "command" : ", command";
    }
    if (!found.empty()) {
        note += (note.empty() ? "" : ", ") + found;
    }
    return note;
}

// The columns each field gets at a terminal; 0 leaves the field out.
struct Columns {
    int name = 0, text = 0, note = 0;
};

// The name comes first, the note (gone, temporary) next, the directory gets what is left: a
// narrow terminal drops the directories before a line grows past its edge, where the terminal
// would wrap it under the next name.
Columns FitColumns(const std::vector<Row>& rows, int width, bool utf8) {
    Columns widest;
    for (const Row& row : rows) {
        widest.name = std::max(widest.name, DisplayWidth(row.name, utf8));
        widest.text = std::max(widest.text, DisplayWidth(row.text, utf8));
        widest.note = std::max(widest.note, DisplayWidth(row.note, utf8));
    }
    int noteRoom = widest.note > 0 ? kGap + widest.note : 0;
    int room = width - noteRoom - kGap;
    Columns fit;
    if (widest.text > 0 && room >= kNarrowestName + kNarrowestText) {
        fit.name = std::min(widest.name, std::max({room / 3, room - widest.text, kNarrowestName}));
        fit.text = std::min(widest.text, room - fit.name);
        fit.note = widest.note;
        return fit;
    }
    fit.name = std::min(widest.name, std::max(width - noteRoom, std::min(width, kNarrowestName)));
    fit.note = std::min(widest.note, width - fit.name - kGap);
    fit.note = fit.note > 0 ? fit.note : 0;
    return fit;
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

void WriteTable(const std::vector<StoreEntry>& entries, const std::vector<std::string>& found) {
    int width = TerminalWidth();
    WriteTable(entries, stdout, width, width > 0 && LocaleIsUtf8(), found);
}

void WriteTable(const std::vector<StoreEntry>& entries, std::FILE* out, int width, bool utf8,
                const std::vector<std::string>& found) {
    std::vector<size_t> sorted(entries.size());
    std::iota(sorted.begin(), sorted.end(), 0);
    std::stable_sort(sorted.begin(), sorted.end(),
                     [&](size_t a, size_t b) { return ListedBefore(entries[a], entries[b]); });
    // Piped, the fields are read back by programs: a backslash is escaped too, so that every
    // name and path comes through whole.
    bool lossless = width == 0;
    std::vector<Row> rows;
    for (size_t i : sorted) {
        const StoreEntry& entry = entries[i];
        rows.push_back({VisibleText(entry.name, lossless), VisibleText(entry.text, lossless),
                        NoteOf(entry, i < found.size() ? found[i] : "")});
    }
    if (width == 0) {
        for (const Row& row : rows) {
            // The fields whole, separated by tabs, for cut and awk.
            std::fprintf(out, "%s\t%s\t%s\n", row.name.c_str(), row.text.c_str(), row.note.c_str());
        }
        return;
    }
    Columns columns = FitColumns(rows, width, utf8);
    for (const Row& row : rows) {
        // Each cell is padded to its column only when another follows it on the line.
        std::vector<std::pair<const std::string*, int>> cells = {{&row.name, columns.name}};
        if (columns.text > 0) {
            cells.emplace_back(&row.text, columns.text);
        }
        if (columns.note > 0 && !row.note.empty()) {
            cells.emplace_back(&row.note, columns.note);
        }
        std::string line;
        for (size_t i = 0; i < cells.size(); ++i) {
            // A directory is cut in its middle, where paths below one folder read alike.
            std::string cell = i == 1 && columns.text > 0
                                   ? CutInMiddle(*cells[i].first, cells[i].second, utf8)
                                   : CutToWidth(*cells[i].first, cells[i].second, utf8);
            line += cell;
            if (i + 1 < cells.size()) {
                line += std::string(cells[i].second - DisplayWidth(cell, utf8) + kGap, ' ');
            }
        }
        std::fprintf(out, "%s\n", line.c_str());
    }
}
