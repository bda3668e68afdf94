// `velmora export` and `velmora import`: the whole store to a text file and back, and the
// bookmarks of wd and bashmarks into the store.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "store_sections.h"
#include "exchange_format.h"
#include "foreign_bookmarks.h"

struct TransferOptions {
    // Empty or "-": standard output for an export, standard input for an import.
    std::string file;
    bool replace = false;
    // An export that reads on past every damaged part of the store.
    bool salvage = false;
    bool foreign = false;
    BookmarkFormat format = BookmarkFormat::kWd;
};

// The words behind "export" or "import"; false with what is wrong.
bool ParseTransferOptions(bool import, const std::vector<std::string>& words,
                          TransferOptions* options, std::string* problem);
int RunExport(const TransferOptions& options);
int RunImport(const TransferOptions& options);

// What an export wrote.
struct ExportTally {
    // Lines with the header's, their bytes with their line ends, and the longest line's bytes.
    size_t lines = 0, bytes = 0, longest = 0;
    // In a salvage: the entries of which only the name could be read (each said on standard
    // error), and the damaged parts where entries may have been lost with their names.
    size_t unreadable = 0, unfound = 0;
};
// Writes the header and every setting, name, temporary name and filter; false when the store
// failed (what could be read is written). A `salvage` reads on past every damaged part of the
// store and writes every entry it finds, and never fails.
bool ExportStore(std::FILE* out, bool salvage = false, ExportTally* tally = nullptr);
// The entries of an export read from `in`; false when its first line is not the header, read
// before anything else. A line that cannot be read is a problem, and an import stores nothing
// then: a file that is not whole is read not at all. An entry that the store cannot hold or
// must not take (EntryProblem) is skipped, so that whatever an export wrote can be read back.
bool ParseExport(std::FILE* in, std::vector<ExchangeEntry>* entries,
                 std::vector<BookmarkProblem>* problems, std::vector<BookmarkProblem>* skipped);

struct ImportCounts {
    size_t added = 0, kept = 0, replaced = 0;
    // Of those kept, the ones the file gave another value.
    size_t keptOthers = 0;
    // What the counts alone would hide, a line each: each entry kept with another value than the
    // file's and each one replaced, with both values; two entries that are one name to the store;
    // a permanent name written that a temporary one of the same name still goes before; a prefix
    // written that hides a program.
    std::vector<std::string> notices;
};
// Stores the entries in one transaction: an entry of a name already stored with another value
// replaces it only when `replace`. False when the store failed; nothing is stored then, unless
// the temporary names' store failed to commit after the other one had (VelmoraCommittedStores).
bool ImportEntries(const std::vector<ExchangeEntry>& entries, bool replace, ImportCounts* counts);
