// The completion menu. Candidates are gathered in the section's order, each an owned copy in a
// list that grows by one slot a match; a failure while gathering keeps what was gathered.
#include "completion_menu.h"

#include <cstring>

#include "abi/plugin_abi.h"
#include "host/host_services.h"
#include "store/errors.h"
#include "store/heap.h"
#include "store/name_store.h"
#include "store/reg_section.h"

namespace {

// A menu item shows at most this much of a name; a longer one ends in "..." to show the cut.
constexpr size_t kMenuText = sizeof(FarMenuItem::Text) - 1;

class CandidateList {
  public:
    CandidateList() = default;
    ~CandidateList() {
        for (uint32_t i = 0; i < count; ++i) {
            MemDelete(entries[i]);
        }
        MemFree(entries);
    }
    CandidateList(const CandidateList&) = delete;
    CandidateList& operator=(const CandidateList&) = delete;

    // False when the heap refuses the slot or the copy; the list is then unchanged.
    bool Add(const char* name) {
        void* grown = MemRealloc(entries, (count + 1) * sizeof(TextBuffer*));
        if (grown == nullptr) {
            return false;
        }
        entries = static_cast<TextBuffer**>(grown);
        TextBuffer* copy = MemNew<TextBuffer>();
        if (copy == nullptr) {
            return false;
        }
        try {
            copy->Assign(name);
        } catch (...) {
            MemDelete(copy);
            return false;
        }
        entries[count++] = copy;
        return true;
    }

    TextBuffer** entries = nullptr;
    uint32_t count = 0;
};

void Gather(const char* typed, CandidateList& candidates) {
    try {
        // The typed text is not escaped: wildcards in it act as wildcards.
        TextBuffer pattern;
        pattern.Assign(typed);
        pattern.Append("*");
        RegSection keys(kKeysSection, true);
        RegValueCursor cursor(keys);
        TextBuffer name;
        while (cursor.Next(name)) {
            if (HostCmpName(pattern.Text(), name.Text()) && !candidates.Add(name.Text())) {
                return;
            }
        }
    } catch (...) {
        // What was gathered until the failure is offered all the same.
    }
}

// Index of the candidate the user chose, or -1 when the menu was cancelled. A menu that cannot
// be had leaves as ErrNoMemory rather than pass for a cancel.
int ChooseFromMenu(const CandidateList& candidates) {
    auto* items = static_cast<FarMenuItem*>(MemAlloc(candidates.count * sizeof(FarMenuItem)));
    if (items == nullptr) {
        throw ErrNoMemory;
    }
    for (uint32_t i = 0; i < candidates.count; ++i) {
        const char* name = candidates.entries[i]->Text();
        size_t length = std::strlen(name);
        if (length <= kMenuText) {
            std::memcpy(items[i].Text, name, length);
        } else {
            std::memcpy(items[i].Text, name, kMenuText - 3);
            std::memcpy(items[i].Text + kMenuText - 3, "...", 3);
        }
    }
    int chosen = HostMenu(items, static_cast<int>(candidates.count));
    MemFree(items);
    return chosen >= 0 && static_cast<uint32_t>(chosen) < candidates.count ? chosen : -1;
}

}  // namespace

int CompleteName(const char* typed, TextBuffer& target) {
    TextBuffer taken;
    {
        CandidateList candidates;
        Gather(typed, candidates);
        if (candidates.count == 0) {
            return 0;
        }
        int chosen = candidates.count == 1 ? 0 : ChooseFromMenu(candidates);
        if (chosen < 0) {
            return kCompletionCancelled;
        }
        taken.Assign(candidates.entries[chosen]->Text());
    }
    return LookupName(taken.Text(), target);
}

bool CompletionMayOffer(const char* typed, NameProbe probe) {
    // The host matches the typed text followed by '*' as a pattern, letters in either case. A
    // text without the host's wildcards ('*', '?', the sets of '[') matches as the beginning of a
    // name; beyond ASCII only the host knows which letters are one letter in two cases.
    for (const char* p = typed; *p != '\0'; ++p) {
        unsigned char byte = static_cast<unsigned char>(*p);
        if (byte == '*' || byte == '?' || byte == '[' || byte >= 0x80) {
            return true;
        }
    }
    return probe(typed) != ERROR_FILE_NOT_FOUND;
}
