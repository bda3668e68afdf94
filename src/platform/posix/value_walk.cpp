// The read-ahead of an enumerating key; see value_walk.h.
#include "value_walk.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace velmora::registry {

namespace {

// Enumeration reads this many values at first, and twice as many each time it goes on, up to
// the most. A caller that stops early has not paid for a long read, and one that walks a large
// key pays for few reads while holding few values at a time.
constexpr DWORD kFirstReadAhead = 16;
constexpr DWORD kMostReadAhead = 1024;

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Value names as the database's NOCASE collation compares them: only ASCII letters fold,
// whatever the locale.
bool SameValueName(std::string_view stored, const char* name) {
    size_t i = 0;
    for (; i < stored.size() && name[i] != '\0'; ++i) {
        if (AsciiLower(stored[i]) != AsciiLower(name[i])) {
            return false;
        }
    }
    return i == stored.size() && name[i] == '\0';
}

}  // namespace

LONG CopyOut(const void* bytes, DWORD size, LPBYTE buffer, LPDWORD capacity) {
    if (capacity == nullptr) {
        return buffer != nullptr ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
    }
    DWORD room = *capacity;
    *capacity = size;
    if (buffer == nullptr) {
        return ERROR_SUCCESS;
    }
    if (room < size) {
        return ERROR_MORE_DATA;
    }
    std::memcpy(buffer, bytes, size);
    return ERROR_SUCCESS;
}

LONG ValueWalk::Enumerate(Database& db, int64_t key, DWORD index, LPSTR name, LPDWORD nameChars,
                          LPDWORD type, LPBYTE data, LPDWORD dataSize) {
    bool continues = index == nextIndex_ && nextAfterSeq_ >= 0;
    bool wantsData = type != nullptr || data != nullptr || dataSize != nullptr;
    readsValues_ = (continues && readsValues_) || wantsData;
    bool unchanged = db.Unchanged(version_);
    bool refill =
        !continues || !unchanged || pos_ >= ahead_.size() || (readsValues_ && !ahead_.HasData());
    if (refill) {
        if (LONG status = Refill(db, key, index, continues, unchanged); status != ERROR_SUCCESS) {
            return status;
        }
    }
    LONG status = Deliver(index, name, nameChars, type, data, dataSize);
    if (status != ERROR_SUCCESS && refill) {
        // The values just read do not follow the last one delivered: drop them.
        ahead_.Clear();
        version_ = DataVersion();
    }
    return status;
}

bool ValueWalk::AnswerQuery(const Database& db, const char* name, LPDWORD type, LPBYTE data,
                            LPDWORD dataSize, LONG* status) {
    if (pos_ == 0 || !db.Unchanged(version_) || !SameValueName(ahead_.Name(pos_ - 1), name)) {
        return false;
    }
    // A walk over a key reads each value right after enumerating its name.
    readsValues_ = true;
    if (!ahead_.HasData()) {
        return false;
    }
    if (type != nullptr) {
        *type = ahead_.Type(pos_ - 1);
    }
    std::string_view bytes = ahead_.Data(pos_ - 1);
    *status = CopyOut(bytes.data(), static_cast<DWORD>(bytes.size()), data, dataSize);
    return true;
}

LONG ValueWalk::Refill(Database& db, int64_t key, DWORD index, bool continues, bool unchanged) {
    // While the caller keeps taking values, each read takes twice as many as the last. A change
    // in between starts again from a single value, so that a caller that writes as it walks
    // reads no more than one value per call.
    if (!continues) {
        limit_ = kFirstReadAhead;
    } else if (!unchanged) {
        limit_ = 1;
    } else {
        limit_ = std::min(limit_ * 2, kMostReadAhead);
    }
    // Taken before the read: a commit in between then counts as a change, never as none.
    version_ = db.Version();
    pos_ = 0;
    bool namesOnly = !readsValues_;
    LONG status = continues ? db.ValuesAfter(key, nextAfterSeq_, limit_, namesOnly, &ahead_)
                            : db.ValuesFrom(key, index, limit_, namesOnly, &ahead_);
    if (status != ERROR_SUCCESS) {
        version_ = DataVersion();
    }
    return status;
}

LONG ValueWalk::Deliver(DWORD index, LPSTR name, LPDWORD nameChars, LPDWORD type, LPBYTE data,
                        LPDWORD dataSize) {
    std::string_view text = ahead_.Name(pos_);
    DWORD needed = static_cast<DWORD>(text.size()) + 1;
    if (*nameChars < needed) {
        *nameChars = needed;
        return ERROR_MORE_DATA;
    }
    std::memcpy(name, text.data(), text.size());
    name[text.size()] = '\0';
    *nameChars = needed - 1;
    if (type != nullptr) {
        *type = ahead_.Type(pos_);
    }
    std::string_view bytes = ahead_.Data(pos_);
    LONG status = CopyOut(bytes.data(), static_cast<DWORD>(bytes.size()), data, dataSize);
    if (status == ERROR_SUCCESS) {
        nextIndex_ = index + 1;
        nextAfterSeq_ = ahead_.Seq(pos_);
        ++pos_;
    }
    return status;
}

}  // namespace velmora::registry
