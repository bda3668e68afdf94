// Export and import. An export is written beside its file and takes the file's place only once
// it is whole and on the disk. An import reads and checks its input a line at a time before it
// writes anything, and then writes in one transaction of the store: a store is never left half
// imported, and its write lock is never held while a slow input is still coming.
#include "transfer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <unordered_map>

#include "exit_status.h"
#include "export_file.h"
#include "shell_commands.h"
#include "shell_init.h"
#include "store_fault.h"
#include "store_faults.h"
#include "store_transaction.h"
#include "transfer_input.h"
#include "visible_text.h"

namespace {

void SayProblems(const std::string& file, const std::vector<BookmarkProblem>& problems,
                 const char* what) {
    for (const BookmarkProblem& problem : problems) {
        Say(file + ":" + std::to_string(problem.line) + ": " + problem.text + "; " + what);
    }
}

// Whether `file` names what it names through a link of /proc to an open file (/dev/stdout,
// /dev/fd/N, a shell's process substitution): that file is another process's output, and is
// written into, never replaced.
bool ThroughOpenFileLink(std::string file) {
    struct stat proc, info;
    if (::stat("/proc/self", &proc) != 0) {
        return false;
    }
    for (int hop = 0; hop < 40 && ::lstat(file.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
         ++hop) {
        if (info.st_dev == proc.st_dev) {
            return true;
        }
        char text[PATH_MAX];
        ssize_t size = ::readlink(file.c_str(), text, sizeof text);
        if (size <= 0 || static_cast<size_t>(size) >= sizeof text) {
            return false;
        }
        std::string next(text, static_cast<size_t>(size));
        file = next[0] == '/' ? next : file.substr(0, file.rfind('/') + 1) + next;
    }
    return false;
}

// Where an export to `file` goes: the regular file there, found through links by the kernel
// (so with its protections of shared folders), or `file` itself when nothing is there. False
// when something else is there, a terminal or a pipe such as /dev/stdout, which is written into.
bool ExportPath(const std::string& file, std::string* path) {
    *path = file;
    int fd = ::open(file.c_str(), O_PATH | O_CLOEXEC);
    if (fd < 0) {
        return true;
    }
    struct stat info;
    bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    char found[PATH_MAX];
    ssize_t size = ::readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), found, sizeof found);
    if (regular && size > 0 && static_cast<size_t>(size) < sizeof found) {
        path->assign(found, static_cast<size_t>(size));
    }
    ::close(fd);
    return regular;
}

int SayNotWritten(const std::string& file, int error, const char* what) {
    Say("cannot write " + file + ": " +
        (error == EISDIR ? "it is a folder; name a file to export to" : std::strerror(error)) +
        what);
    return kExitFailed;
}

// The export's new file could not be made beside `file` for `error`: said of the folder, which
// is what refused it, since `file` itself may well be there.
int SayNotMade(const std::string& file, const std::string& path, int error) {
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "."
                         : slash == 0               ? "/"
                                                    : path.substr(0, slash);
    struct stat info;
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        Say("cannot write " + file + ": there is no folder " + folder);
    } else {
        Say("cannot write " + file + ": an export is written as a new file in " + folder +
            " before it takes the file's place, and none can be made there (" +
            std::strerror(error) + "); export into a folder you can write to");
    }
    return kExitFailed;
}

// An entry of the section as a person names it.
const char* EntryKind(StoreSection section) {
    switch (section) {
        case StoreSection::kRoot:
            return "setting";
        case StoreSection::kKeys:
            return "name";
        case StoreSection::kTempKeys:
            return "temporary name";
        default:
            return "filter";
    }
}

// What an export that was written comes to: what a salvage could not read, and a file that an
// import would not take back whole, are said.
int Exported(const std::string& shown, const ExportTally& tally, bool salvage) {
    int status = kExitDone;
    if (tally.longest > kMaxImportLine) {
        Say(shown + " holds a line of " + std::to_string(tally.longest) +
            " bytes, longer than the " + std::to_string(kMaxImportLine) +
            " that velmora import reads: the entry on it cannot be imported back");
        status = kExitFailed;
    } else if (tally.lines > kMaxImportLines || tally.bytes > kMaxImportBytes) {
        Say(shown + " holds " + std::to_string(tally.lines) + " lines of " +
            std::to_string(tally.bytes) + " bytes, more than the " +
            std::to_string(kMaxImportLines) + " lines or " + std::to_string(kMaxImportBytes) +
            " bytes that velmora import reads at once: to import it, split it into parts that "
            "each begin with its first line");
        status = kExitFailed;
    }
    if (!salvage) {
        return status;
    }
    if (tally.unreadable == 0 && tally.unfound == 0) {
        Say("every name, filter and setting could be read, and all are in " + shown);
        SayStoreFaultsIfAny();
        return status;
    }
    std::string lost = std::to_string(tally.unreadable) + " entries could not be read";
    if (tally.unfound != 0) {
        lost += ", and " + std::to_string(tally.unfound) +
                " damaged parts of the file may have held more that cannot be found";
    }
    Say(lost + "; every other entry is in " + shown);
    return SayStoreFault();
}

// Into a terminal, a pipe or another process's output: what could be read is written, as to
// standard output, behind what that output holds already.
int ExportInto(const std::string& file, bool salvage) {
    int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    std::FILE* out = fd < 0 ? nullptr : ::fdopen(fd, "w");
    if (out == nullptr) {
        int error = errno;
        if (fd >= 0) {
            ::close(fd);
        }
        return SayNotWritten(file, error, "");
    }
    ExportTally tally;
    bool read = ExportStore(out, salvage, &tally);
    bool written = std::fflush(out) == 0 && !std::ferror(out);
    int error = errno;
    if (std::fclose(out) != 0 && written) {
        written = false;
        error = errno;
    }
    if (!written) {
        return SayNotWritten(file, error, "");
    }
    return read ? Exported(file, tally, salvage) : SayStoreFault();
}

// The export is written to a new file beside the old one, private to the user whatever the old
// one was, and renamed over it only once it is whole and on the disk: a store that cannot be
// read or a full disk leaves the previous export as it was.
int ExportToFile(const std::string& file, bool salvage) {
    std::string path;
    if (ThroughOpenFileLink(file) || !ExportPath(file, &path)) {
        return ExportInto(file, salvage);
    }
    PendingExport pending(path);
    if (pending.out() == nullptr) {
        return SayNotMade(file, path, errno);
    }
    ExportTally tally;
    if (!ExportStore(pending.out(), salvage, &tally)) {
        Say("nothing was exported: " + file + " is left as it was");
        return SayStoreFault();
    }
    if (!pending.Place()) {
        return SayNotWritten(file, errno, "; it is left as it was");
    }
    return Exported(file, tally, salvage);
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

// What a value stands for, as a person reads it in a notice.
std::string Shown(const StoreValue& value) {
    return value.type == REG_DWORD && value.data.size() == sizeof(DWORD)
               ? std::to_string(*reinterpret_cast<const DWORD*>(value.data.data()))
               : value.Text();
}

// An entry as its lines of an import begin: a permanent name by itself, every other entry with
// its kind ("the filter docs").
std::string Entitled(const ExchangeEntry& entry) {
    if (entry.section == StoreSection::kKeys) {
        return entry.value.name;
    }
    return std::string("the ") + EntryKind(entry.section) + " " + entry.value.name;
}

std::string Described(const StoreValue& value) {
    return "'" + value.name + "' (" + Shown(value) + ")";
}

// Two entries of one import that the store takes for one name: the later one is left out, or
// with `replace` gives the name its value.
std::string OneName(const StoreValue& first, const StoreValue& later, bool replace) {
    std::string notice =
        first.name == later.name
            ? "'" + first.name + "' comes twice, for " + Shown(first) + " and for " + Shown(later)
            : Described(first) + " and " + Described(later) +
                  " are one name, as letter case does not count in names";
    if (replace && !SameValue(first, later)) {
        return notice + ": the name now stands for " + Shown(later);
    }
    return notice + ": the second is left out";
}

// The permanent names written whose temporary twin, with another target, still comes first in
// every jump.
void NoticeTemporaryTwins(const std::vector<const StoreValue*>& permanent,
                          std::vector<std::string>* notices) {
    std::unordered_map<std::string, StoreValue> temporary;
    VisitSection(StoreSection::kTempKeys, [&](const StoreValue& value) {
        temporary.emplace(NameKey(value.name), value);
        return true;
    });
    for (const StoreValue* value : permanent) {
        auto twin = temporary.find(NameKey(value->name));
        if (twin != temporary.end() && !SameValue(twin->second, *value)) {
            notices->push_back("the temporary name " + Described(twin->second) +
                               " goes before the permanent " + Described(*value) +
                               " in every jump, until it is deleted or you log off");
        }
    }
}

// Writes the entries one by one, counting what became of each; false at the first failure.
bool WriteEntries(const std::vector<ExchangeEntry>& entries, bool replace, ImportCounts* counts) {
    // The first entry of each name in this import, by section and the name as the store
    // compares it.
    std::unordered_map<std::string, const ExchangeEntry*> firsts;
    std::vector<const StoreValue*> permanent;
    for (const ExchangeEntry& entry : entries) {
        auto first = firsts.emplace(
            std::to_string(static_cast<int>(entry.section)) + '\t' + NameKey(entry.value.name),
            &entry);
        // A name this import has written already is said once, as such.
        bool repeated = !first.second;
        if (repeated && (first.first->second->value.name != entry.value.name ||
                         !SameValue(first.first->second->value, entry.value))) {
            counts->notices.push_back(OneName(first.first->second->value, entry.value, replace));
        }
        StoreValue stored;
        StoreResult found = ReadValue(entry.section, entry.value.name, &stored);
        if (found == StoreResult::kFailed) {
            return false;
        }
        bool exists = found == StoreResult::kDone;
        bool same = exists && SameValue(stored, entry.value);
        // A setting that still holds its default was chosen by nobody: the one a store made anew
        // was given at its first start, say, before the user's export could be imported.
        bool unchosen =
            exists && entry.section == StoreSection::kRoot && !same && HoldsItsDefault(stored);
        if (exists && !unchosen && (!replace || same)) {
            ++counts->kept;
            if (!same && !repeated) {
                ++counts->keptOthers;
                counts->notices.push_back(Entitled(entry) + " stays " + Shown(stored) +
                                          ", not the file's " + Shown(entry.value));
            }
            continue;
        }
        if (unchosen && !replace) {
            counts->notices.push_back("the setting " + Described(stored) +
                                      " held its default, which nobody chose: it now holds " +
                                      Shown(entry.value));
        } else if (exists && !repeated) {
            counts->notices.push_back(
                ReplacedText(Entitled(entry), Shown(entry.value), Shown(stored)));
        }
        if (!WriteValue(entry.section, entry.value)) {
            return false;
        }
        ++(exists ? counts->replaced : counts->added);
        // The prefix names the shell's command, which would hide a program of that name.
        std::string doubt = SetsPrefix(entry) ? JudgeChosenPrefix(entry.value.Text()).problem : "";
        if (!doubt.empty()) {
            counts->notices.push_back("the prefix " + doubt +
                                      "; choose another with `velmora --configure`");
        }
        if (entry.section == StoreSection::kKeys) {
            permanent.push_back(&entry.value);
        }
    }
    NoticeTemporaryTwins(permanent, &counts->notices);
    return true;
}

// What a failed import stored: nothing, or, where the second store failed to commit after the
// first had, what was stored and what was not, so that nothing reads as all or nothing that is
// neither.
void SayWhatWasStored(const std::string& shown, unsigned committed) {
    const char* permanent = "the settings, names and filters";
    const char* temporary = "the temporary names";
    bool persistent = (committed & 1u << kVelmoraPersistentStore) != 0;
    bool volatileToo = (committed & 1u << kVelmoraVolatileStore) != 0;
    if (persistent != volatileToo) {
        Say(std::string(persistent ? permanent : temporary) + " of " + shown + " were stored, " +
            (persistent ? temporary : permanent) +
            " were not; import it again once what is said below is put right");
    } else {
        Say("nothing was imported from " + shown);
    }
}

// Several files, as a person reads them: 'a' and 'b', or 'a', 'b' and 'c'.
std::string Listed(const std::vector<std::string>& files) {
    std::string listed;
    for (size_t i = 0; i < files.size(); ++i) {
        listed += (i == 0 ? "" : i + 1 == files.size() ? " and " : ", ") + ("'" + files[i] + "'");
    }
    return listed;
}

// What an import or an export takes beside its file, for a word it does not know.
std::string OptionsOf(bool import) {
    return import ? "it takes --replace and --from wd|bashmarks" : "it takes --salvage";
}

}  // namespace

bool ParseTransferOptions(bool import, const std::vector<std::string>& words,
                          TransferOptions* options, std::string* problem) {
    std::vector<std::string> files;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (import && word == "--replace") {
            options->replace = true;
        } else if (!import && word == "--salvage") {
            options->salvage = true;
        } else if (import && word == "--from") {
            options->foreign = true;
            const std::string format = i + 1 < words.size() ? words[++i] : "";
            if (format == "wd") {
                options->format = BookmarkFormat::kWd;
            } else if (format == "bashmarks") {
                options->format = BookmarkFormat::kBashmarks;
            } else {
                *problem = (format.empty() ? std::string("say whose bookmarks to import")
                                           : "the bookmarks of '" + format +
                                                 "' cannot be imported, only those of wd and "
                                                 "bashmarks") +
                           ": `velmora import --from wd ~/.warprc`, or `velmora import --from "
                           "bashmarks ~/.sdirs`";
                return false;
            }
        } else if (word.size() > 1 && word[0] == '-' && word != "--") {
            *problem = std::string(import ? "import" : "export") + " has no option " + word + "; " +
                       OptionsOf(import);
            return false;
        } else {
            files.push_back(word);
        }
    }
    if (!files.empty() && files.front() == "--") {
        files.erase(files.begin());
    }
    if (files.size() > 1) {
        *problem = import ? "import reads one file at a time, not " + Listed(files) +
                                ": import each on its own"
                          : "export writes one file, not " + Listed(files) +
                                ": name one, or none for standard output";
        return false;
    }
    if (import && files.empty()) {
        *problem = !options->foreign ? "say which file to import: `velmora import FILE`, or "
                                       "`velmora import -` for standard input"
                   : options->format == BookmarkFormat::kWd
                       ? "say which file of wd to import: `velmora import --from wd ~/.warprc`"
                       : "say which file of bashmarks to import: `velmora import --from "
                         "bashmarks ~/.sdirs`";
        return false;
    }
    options->file = files.empty() ? "" : files.front();
    return true;
}

bool ExportStore(std::FILE* out, bool salvage, ExportTally* tally) {
    ExportTally counted;
    auto write = [&](const std::string& line) {
        if (!line.empty()) {
            std::fprintf(out, "%s\n", line.c_str());
            ++counted.lines;
            counted.bytes += line.size() + 1;
            counted.longest = std::max(counted.longest, line.size());
        }
    };
    write(kExchangeHeader);
    bool read = true;
    for (StoreSection section : {StoreSection::kRoot, StoreSection::kKeys, StoreSection::kTempKeys,
                                 StoreSection::kFilters}) {
        if (!salvage) {
            read = VisitSection(section,
                                [&](const StoreValue& value) {
                                    write(FormatEntry({section, value}));
                                    return true;
                                }) &&
                   read;
            continue;
        }
        size_t unfound = 0;
        bool found = SalvageSection(
            section,
            [&](const StoreValue& value, bool readable) {
                if (readable) {
                    write(FormatEntry({section, value}));
                } else {
                    ++counted.unreadable;
                    Say(std::string("the ") + EntryKind(section) + " '" + VisibleText(value.name) +
                        "' lies in a damaged part of the file: only its name could be read");
                }
                return true;
            },
            &unfound);
        if (!found) {
            Say(std::string("no ") + EntryKind(section) + " could be read at all");
        }
        counted.unfound += found ? unfound : 1;
    }
    if (tally != nullptr) {
        *tally = counted;
    }
    return read;
}

bool ParseExport(std::FILE* in, std::vector<ExchangeEntry>* entries,
                 std::vector<BookmarkProblem>* problems, std::vector<BookmarkProblem>* skipped) {
    LineReader reader(in);
    std::string line;
    LineRead read = reader.Next(&line);
    if ((read != LineRead::kLine && read != LineRead::kCut) || line != kExchangeHeader) {
        return false;
    }
    for (; read != LineRead::kEnd; read = reader.Next(&line)) {
        size_t number = reader.Number();
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
    if (options.file.empty() || options.file == "-") {
        ExportTally tally;
        return ExportStore(stdout, options.salvage, &tally)
                   ? Exported("standard output", tally, options.salvage)
                   : SayStoreFault();
    }
    return ExportToFile(options.file, options.salvage);
}

int RunImport(const TransferOptions& options) {
    const std::string& file = options.file;
    bool standardInput = file == "-";
    std::string shown = standardInput ? "standard input" : file;
    std::FILE* in = standardInput ? stdin : std::fopen(file.c_str(), "rb");
    if (in == nullptr) {
        Say("cannot read " + file + ": " + std::strerror(errno) + "; nothing was imported");
        return kExitFailed;
    }
    // A folder opens as a file does, and only its reading fails.
    struct stat info;
    if (!standardInput && ::fstat(fileno(in), &info) == 0 && S_ISDIR(info.st_mode)) {
        std::fclose(in);
        Say(file + " is a folder, not a file; name the file to import");
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
        Say(shown + " is not a " + (options.format == BookmarkFormat::kWd ? "wd" : "bashmarks") +
            " file; nothing was imported");
        return kExitFailed;
    }
    if (!known) {
        Say(shown + " is not an export of velmora (its first line is not \"" + kExchangeHeader +
            "\"); nothing was imported");
        return kExitFailed;
    }
    if (!problems.empty()) {
        SayProblems(shown, problems, "nothing was imported");
        return kExitFailed;
    }
    SayProblems(shown, skipped, "skipped");
    ImportCounts counts;
    if (!ImportEntries(entries, options.replace, &counts)) {
        SayWhatWasStored(shown, VelmoraCommittedStores());
        return SayStoreFault();
    }
    for (const std::string& notice : counts.notices) {
        Say(notice);
    }
    if (counts.keptOthers != 0) {
        Say("to take what " + shown + " holds instead: `velmora import --replace " +
            (standardInput ? std::string("-") : ShellQuote(file)) + "`");
    }
    std::printf("imported %zu: %zu added, %zu kept, %zu replaced", entries.size(), counts.added,
                counts.kept, counts.replaced);
    std::printf(skipped.empty() ? "\n" : ", %zu skipped\n", skipped.size());
    return skipped.empty() ? kExitDone : kExitFailed;
}
