// Reading what is left of a damaged key; see value_salvage.h.
#include "value_salvage.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <unordered_map>
#include <utility>

namespace velmora::registry {

namespace {

// Values are read this many at a time, and each read keeps what came before a damaged page.
constexpr DWORD kRun = 256;

// The order of the table's name index: bytes with ASCII letters folded, a prefix first.
bool NocaseLess(const std::string& a, const std::string& b) {
    return AsciiFolded(a) < AsciiFolded(b);
}

// The first of the points 0 to count - 1 where `reads` succeeds, into `first`; false when there
// is none. A read fails where its first value lies in a damaged page and succeeds past it, so
// the points that fail are one run from 0: a search that doubles its step and then halves it
// finds its end in few reads.
bool FirstReadable(uint64_t count, const std::function<bool(uint64_t)>& reads, uint64_t* first) {
    if (count == 0) {
        return false;
    }
    if (reads(0)) {
        *first = 0;
        return true;
    }
    uint64_t failing = 0, readable = 0;
    for (uint64_t step = 1;; step *= 2) {
        if (count - 1 - failing <= step) {
            readable = count - 1;
            if (!reads(readable)) {
                return false;
            }
            break;
        }
        readable = failing + step;
        if (reads(readable)) {
            break;
        }
        failing = readable;
    }
    while (readable - failing > 1) {
        uint64_t middle = failing + (readable - failing) / 2;
        (reads(middle) ? readable : failing) = middle;
    }
    *first = readable;
    return true;
}

bool ReadOn(LONG status) {
    return status == ERROR_SUCCESS || status == ERROR_NO_MORE_ITEMS;
}

}  // namespace

LONG SalvageValues(Database& db, int64_t key, std::vector<SalvagedValue>* values, DWORD* unfound) {
    values->clear();
    *unfound = 0;
    // The first failure, which is the walk's when nothing at all could be read.
    LONG failure = ERROR_SUCCESS;
    std::vector<ValueRow> run, probe;
    auto names = [&](Database::Query query, int64_t from, DWORD limit, std::vector<ValueRow>* out) {
        return db.Values(query, key, {from}, limit, out);
    };
    auto rows = [&](Database::Query query, const std::string& from, DWORD limit,
                    std::vector<ValueRow>* out) {
        return db.Values(query, key, {0, &from}, limit, out);
    };

    // The names, through the order index.
    std::vector<std::pair<int64_t, std::string>> ordered;
    bool indexDamaged = false;
    for (int64_t after = 0;;) {
        LONG status = names(Database::kNamesAfterSeq, after, kRun, &run);
        for (const ValueRow& row : run) {
            ordered.emplace_back(row.seq, row.name);
            after = row.seq;
        }
        if (status == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (status == ERROR_SUCCESS) {
            continue;
        }
        failure = failure == ERROR_SUCCESS ? status : failure;
        indexDamaged = true;
        // The value after `after` cannot be read, so reading on from behind its own number
        // loses no value that can.
        int64_t from = after + 1;
        uint64_t skip = 0;
        auto reads = [&](uint64_t i) {
            return ReadOn(
                names(Database::kNamesAfterSeq, from + static_cast<int64_t>(i), 1, &probe));
        };
        if (!FirstReadable(static_cast<uint64_t>(INT64_MAX - from), reads, &skip)) {
            break;
        }
        int64_t resume = from + static_cast<int64_t>(skip);
        if (ReadOn(names(Database::kNamesBackFromSeq, resume, 1, &probe)) && probe.size() == 1 &&
            probe[0].seq > after) {
            ordered.emplace_back(probe[0].seq, probe[0].name);
        }
        after = resume;
    }
    std::vector<std::string> known;
    for (const auto& entry : ordered) {
        known.push_back(entry.second);
    }
    std::sort(known.begin(), known.end(), NocaseLess);

    // The whole values, through the table; where it is damaged, the names found above tell
    // where to read on.
    struct Found {
        int64_t seq;
        SalvagedValue value;
    };
    std::unordered_map<std::string, Found> found;
    DWORD tableGaps = 0;
    std::string last;
    bool started = false;
    for (;;) {
        LONG status = rows(started ? Database::kValuesAfterName : Database::kValuesFromName, last,
                           kRun, &run);
        for (const ValueRow& row : run) {
            last = row.name;
            started = true;
            found[AsciiFolded(last)] = {row.seq, {last, row.type, row.data, true}};
        }
        if (status == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (status == ERROR_SUCCESS) {
            continue;
        }
        failure = failure == ERROR_SUCCESS ? status : failure;
        ++tableGaps;
        auto begin = started ? std::upper_bound(known.begin(), known.end(), last, NocaseLess)
                             : known.begin();
        uint64_t skip = 0;
        auto reads = [&](uint64_t i) {
            return ReadOn(
                rows(Database::kValuesAfterName, begin[static_cast<ptrdiff_t>(i)], 1, &probe));
        };
        if (!FirstReadable(static_cast<uint64_t>(known.end() - begin), reads, &skip)) {
            break;
        }
        last = begin[static_cast<ptrdiff_t>(skip)];
        started = true;
    }

    // A name of the index that the table walk skipped is looked up alone.
    for (const auto& [seq, name] : ordered) {
        std::string folded = AsciiFolded(name);
        if (found.count(folded) != 0) {
            continue;
        }
        ValueRow row;
        if (db.GetValue(key, name.c_str(), &row) == ERROR_SUCCESS) {
            found[folded] = {row.seq, {row.name, row.type, row.data, true}};
        } else if (ReadOn(rows(Database::kValuesBackFromName, name, 1, &probe)) &&
                   probe.size() == 1 && AsciiFolded(probe[0].name) == folded) {
            found[folded] = {probe[0].seq, {probe[0].name, probe[0].type, probe[0].data, true}};
        } else {
            found[folded] = {seq, {name, REG_NONE, "", false}};
        }
    }
    // Either walk that went through undamaged found every value there is, or its name.
    if (found.empty() && indexDamaged && tableGaps != 0) {
        return failure;
    }
    std::multimap<int64_t, SalvagedValue> inOrder;
    for (auto& entry : found) {
        inOrder.emplace(entry.second.seq, std::move(entry.second.value));
    }
    for (auto& entry : inOrder) {
        values->push_back(std::move(entry.second));
    }
    // A value whose page of the table and whose entry in the index are both damaged leaves no
    // trace; only where both were damaged can one be missing.
    *unfound = indexDamaged ? tableGaps : 0;
    return ERROR_SUCCESS;
}

}  // namespace velmora::registry
