// Export and import. An import reads and checks its input a line at a time before it writes
// anything, and then writes in one transaction of the store: a store is never left half
// imported, and its write lock is never held while a slow input is still coming.
#include "transfer.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "exit_status.h"
#include "store_fault.h"
#include "store_transaction.h"
#include "transfer_input.h"

namespace {

void SayProblems(const std::string& file, const std::vector<BookmarkProblem>& problems,
                 const char* what) {
    for (const BookmarkProblem& problem : problems) {
        std::fprintf(stderr, "velmora: %s:%zu: %s; %s\n", file.c_str(), problem.line,
                     problem.text.c_str(), what);
    }
}

// An export holds the store's contents: the file is made private to the user like the store.
std::FILE* CreatePrivate(const std::string& file) {
    int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        return nullptr;
    }
    std::FILE* out = ::fdopen(fd, "w");
    if (out == nullptr) {
        ::close(fd);
    }
    return out;
}

// The bookmarks of a wd or bashmarks file as permanent names.
bool ReadBookmarks(BookmarkFormat format, std::FILE* in, std::vector<ExchangeEntry>* entries,
                   std::vector<BookmarkProblem>* skipped) {
    std::vector<Bookmark> bookmarks;
    const char* home = std::getenv("HOME");
    bool found = ParseBookmarks(format, in, home != nullptr ? home : "", &bookmarks, skipped);
    for (const Bookmark& bookmark : bookmarks) {
        entries->push_back(BookmarkEntry(bookmark));
    }
    return found;
}

bool SameValue(const StoreValue& a, const StoreValue& b) {
    return a.type == b.type && a.data == b.data;
}

// Writes the entries one by one, counting what became of each; false at the first failure.
bool WriteEntries(const std::vector<ExchangeEntry>& entries, bool replace, ImportCounts* counts) {
    for (const ExchangeEntry& entry : entries) {
        StoreValue stored;
        StoreResult found = ReadValue(entry.section, entry.value.name, &stored);
        if (found == StoreResult::kFailed) {
            return false;
        }
        bool exists = found == StoreResult::kDone;
        if (exists && (!replace || SameValue(stored, entry.value))) {
            ++counts->kept;
            continue;
        }
        if (!WriteValue(entry.section, entry.value)) {
            return false;
        }
        ++(exists ? counts->replaced : counts->added);
    }
    return true;
}

}  // namespace

bool ParseTransferOptions(bool import, const std::vector<std::string>& words,
                          TransferOptions* options, std::string* problem) {
    std::vector<std::string> files;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (import && word == "--replace") {
            options->replace = true;
        } else if (import && word == "--from" && i + 1 < words.size()) {
            options->foreign = true;
            const std::string& format = words[++i];
            if (format == "wd") {
                options->format = BookmarkFormat::kWd;
            } else if (format == "bashmarks") {
                options->format = BookmarkFormat::kBashmarks;
            } else {
                *problem = "import --from wd, or --from bashmarks";
                return false;
            }
        } else if (word.size() > 1 && word[0] == '-' && word != "--") {
            *problem = "unknown option " + word;
            return false;
        } else {
            files.push_back(word);
        }
    }
    if (!files.empty() && files.front() == "--") {
        files.erase(files.begin());
    }
    if (files.size() > 1 || (import && files.empty())) {
        *problem = import ? "say which file to import" : "export writes one file";
        return false;
    }
    options->file = files.empty() ? "" : files.front();
    return true;
}

bool ExportStore(std::FILE* out) {
    std::fprintf(out, "%s\n", kExchangeHeader);
    bool read = true;
    for (StoreSection section : {StoreSection::kRoot, StoreSection::kKeys, StoreSection::kTempKeys,
                                 StoreSection::kFilters}) {
        read = VisitSection(section,
                            [&](const StoreValue& value) {
                                std::string line = FormatEntry({section, value});
                                if (!line.empty()) {
                                    std::fprintf(out, "%s\n", line.c_str());
                                }
                                return true;
                            }) &&
               read;
    }
    return read;
}

bool ParseExport(std::FILE* in, std::vector<ExchangeEntry>* entries,
                 std::vector<BookmarkProblem>* problems, std::vector<BookmarkProblem>* skipped) {
    LineReader reader(in, kMaxImportLine);
    std::string line;
    LineRead read = reader.Next(&line);
    if ((read != LineRead::kLine && read != LineRead::kCut) || line != kExchangeHeader) {
        return false;
    }
    for (; read != LineRead::kEnd; read = reader.Next(&line)) {
        size_t number = reader.Number();
        if (read == LineRead::kTooLong) {
            skipped->push_back({number, LineFault(read)});
            continue;
        }
        if (read != LineRead::kLine) {
            problems->push_back({number, LineFault(read)});
            return true;
        }
        if (number == 1 || line.empty() || line[0] == '#') {
            continue;
        }
        ExchangeEntry entry;
        std::string problem;
        if (!ParseEntry(line, &entry, &problem)) {
            problems->push_back({number, problem});
            if (problems->size() >= kMaxBadLines) {
                return true;
            }
        } else if (!(problem = EntryProblem(entry)).empty()) {
            skipped->push_back({number, problem});
        } else {
            entries->push_back(entry);
        }
    }
    return true;
}

bool ImportEntries(const std::vector<ExchangeEntry>& entries, bool replace, ImportCounts* counts) {
    if (VelmoraBeginStoreTransaction() != ERROR_SUCCESS) {
        return false;
    }
    ImportCounts counted;
    bool written = WriteEntries(entries, replace, &counted);
    if (VelmoraEndStoreTransaction(written ? 1 : 0) != ERROR_SUCCESS || !written) {
        return false;
    }
    *counts = counted;
    return true;
}

int RunExport(const TransferOptions& options) {
    bool toStdout = options.file.empty() || options.file == "-";
    std::FILE* out = toStdout ? stdout : CreatePrivate(options.file);
    if (out == nullptr) {
        std::fprintf(stderr, "velmora: cannot write %s: %s\n", options.file.c_str(),
                     std::strerror(errno));
        return kExitFailed;
    }
    bool read = ExportStore(out);
    if (toStdout) {
        return read ? kExitDone : SayStoreFault();
    }
    bool written = !std::ferror(out);
    written = std::fclose(out) == 0 && written;
    if (!written) {
        std::fprintf(stderr, "velmora: cannot write %s: %s\n", options.file.c_str(),
                     std::strerror(errno));
        return kExitFailed;
    }
    return read ? kExitDone : SayStoreFault();
}

int RunImport(const TransferOptions& options) {
    const std::string& file = options.file;
    bool standardInput = file == "-";
    std::string shown = standardInput ? "standard input" : file;
    std::FILE* in = standardInput ? stdin : std::fopen(file.c_str(), "rb");
    if (in == nullptr) {
        std::fprintf(stderr, "velmora: cannot read %s: %s\n", file.c_str(), std::strerror(errno));
        return kExitFailed;
    }
    std::vector<ExchangeEntry> entries;
    std::vector<BookmarkProblem> problems, skipped;
    bool known = options.foreign ? ReadBookmarks(options.format, in, &entries, &skipped)
                                 : ParseExport(in, &entries, &problems, &skipped);
    if (in != stdin) {
        std::fclose(in);
    }
    if (!known && options.foreign) {
        SayProblems(shown, skipped, "not a bookmark");
        std::fprintf(stderr, "velmora: %s is not a %s file; nothing imported\n", shown.c_str(),
                     options.format == BookmarkFormat::kWd ? "wd" : "bashmarks");
        return kExitFailed;
    }
    if (!known) {
        std::fprintf(stderr,
                     "velmora: %s is not an export of velmora (its first line is not "
                     "\"%s\"); nothing imported\n",
                     shown.c_str(), kExchangeHeader);
        return kExitFailed;
    }
    if (!problems.empty()) {
        SayProblems(shown, problems, "nothing imported");
        return kExitFailed;
    }
    SayProblems(shown, skipped, "skipped");
    ImportCounts counts;
    if (!ImportEntries(entries, options.replace, &counts)) {
        return SayStoreFault();
    }
    std::printf("imported %zu: %zu added, %zu kept, %zu replaced", entries.size(), counts.added,
                counts.kept, counts.replaced);
    std::printf(skipped.empty() ? "\n" : ", %zu skipped\n", skipped.size());
    return skipped.empty() ? kExitDone : kExitFailed;
}
