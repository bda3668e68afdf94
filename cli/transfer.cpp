// Export and import. An import reads and checks the whole file before it writes anything, and
// writes in one transaction of the store, so a store is never left half imported.
#include "transfer.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "exit_status.h"
#include "store_fault.h"
#include "store_transaction.h"

namespace {

bool ReadFile(const std::string& file, std::string* content, std::string* error) {
    std::FILE* in = file.empty() || file == "-" ? stdin : std::fopen(file.c_str(), "rb");
    if (in == nullptr) {
        *error = std::strerror(errno);
        return false;
    }
    char block[65536];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, in)) > 0) {
        content->append(block, got);
    }
    bool read = !std::ferror(in);
    *error = read ? "" : std::strerror(errno);
    if (in != stdin) {
        std::fclose(in);
    }
    return read;
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

void SayProblems(const std::string& file, const std::vector<BookmarkProblem>& problems,
                 const char* what) {
    for (const BookmarkProblem& problem : problems) {
        std::fprintf(stderr, "velmora: %s:%zu: %s; %s\n", file.c_str(), problem.line,
                     problem.text.c_str(), what);
    }
}

std::string HomeDirectory() {
    const char* home = std::getenv("HOME");
    return home != nullptr ? home : "";
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

bool ParseExport(const std::string& content, std::vector<ExchangeEntry>* entries,
                 std::vector<BookmarkProblem>* problems) {
    std::vector<std::string> lines = TextLines(content);
    if (lines.empty() || lines.front() != kExchangeHeader) {
        return false;
    }
    for (size_t number = 2; number <= lines.size(); ++number) {
        const std::string& line = lines[number - 1];
        if (line.empty() || line[0] == '#') {
            continue;
        }
        ExchangeEntry entry;
        std::string problem;
        if (ParseEntry(line, &entry, &problem)) {
            entries->push_back(entry);
        } else {
            problems->push_back({number, problem});
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
    std::string content, error;
    const std::string& file = options.file;
    if (!ReadFile(file, &content, &error)) {
        std::fprintf(stderr, "velmora: cannot read %s: %s\n", file.c_str(), error.c_str());
        return kExitFailed;
    }
    std::vector<ExchangeEntry> entries;
    std::vector<BookmarkProblem> problems;
    if (options.foreign) {
        std::vector<Bookmark> bookmarks;
        bool isBookmarks =
            ParseBookmarks(options.format, content, HomeDirectory(), &bookmarks, &problems);
        const char* kind = options.format == BookmarkFormat::kWd ? "wd" : "bashmarks";
        if (!isBookmarks) {
            SayProblems(file, problems, "not a bookmark");
            std::fprintf(stderr, "velmora: %s is not a %s file; nothing imported\n", file.c_str(),
                         kind);
            return kExitFailed;
        }
        SayProblems(file, problems, "skipped");
        for (const Bookmark& bookmark : bookmarks) {
            ExchangeEntry entry;
            entry.value.name = bookmark.name;
            entry.value.type = REG_SZ;
            entry.value.data = bookmark.path + '\0';
            entries.push_back(entry);
        }
    } else if (!ParseExport(content, &entries, &problems)) {
        std::fprintf(stderr,
                     "velmora: %s is not an export of velmora (its first line is not "
                     "\"%s\"); nothing imported\n",
                     file.c_str(), kExchangeHeader);
        return kExitFailed;
    } else if (!problems.empty()) {
        SayProblems(file, problems, "nothing imported");
        return kExitFailed;
    }
    ImportCounts counts;
    if (!ImportEntries(entries, options.replace, &counts)) {
        return SayStoreFault();
    }
    std::printf("imported %zu: %zu added, %zu kept, %zu replaced\n", entries.size(), counts.added,
                counts.kept, counts.replaced);
    return kExitDone;
}
