// The target rules; see target_rules.h.
#include "target_rules.h"

#include <cstring>

#include "host/control_bytes.h"
#include "host/host_services.h"
#include "host/messages.h"
#include "host/module_state.h"
#include "store/name_store.h"

namespace {

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// A word the shell behind the command line reads as text: no blank, no control character and
// none of the shell's own characters.
bool PlainWord(const char* word) {
    return std::strchr(word, ' ') == nullptr && std::strpbrk(word, Host.ShellSyntax) == nullptr &&
           !HoldsControl(word, Host.CodePageTexts);
}

// A path from the root: on the Windows hosts from a drive ("D:\") or from "\\" (a server's
// share, or a "\\?\" path); in far2l from '/'.
bool FromTheRoot(const char* path) {
    if (Host.PathSeparator == '/') {
        return path[0] == '/';
    }
    char letter = AsciiLower(path[0]);
    bool drive =
        letter >= 'a' && letter <= 'z' && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
    return drive || (path[0] == '\\' && path[1] == '\\');
}

}  // namespace

bool ClaimedByPrefix(const char* text) {
    // The host reads a prefix that holds colons as several, each ended by its colon.
    const char* part = Settings.Prefix.Text();
    while (*part != '\0') {
        const char* end = std::strchr(part, ':');
        size_t length = end != nullptr ? static_cast<size_t>(end - part) : std::strlen(part);
        bool same = length > 0 && std::strlen(text) > length && text[length] == ':';
        for (size_t i = 0; same && i < length; ++i) {
            same = AsciiLower(text[i]) == AsciiLower(part[i]);
        }
        if (same) {
            return true;
        }
        part = end != nullptr ? end + 1 : part + length;
    }
    return false;
}

bool HoldsWildcard(const char* path) {
    if (!Host.CodePageTexts) {
        return false;
    }
    bool longForm =
        path[0] == '\\' && path[1] == '\\' && (path[2] == '?' || path[2] == '.') && path[3] == '\\';
    return std::strpbrk(longForm ? path + 4 : path, "?*") != nullptr;
}

int StoredTargetRefusal(const char* target) {
    if (target[0] == '\0') {
        return MEmptyPath;
    }
    if (PluginCommandPos(target) != 0) {
        return ClaimedByPrefix(target) ? MTargetRunsPrefix : 0;
    }
    if (!FromTheRoot(target)) {
        return MRelativePath;
    }
    return HoldsWildcard(target) ? MWildcardDirectory : 0;
}

int TypingRefusal(const char* command, bool otherPanel, const char** named) {
    *named = command;
    if (ClaimedByPrefix(command)) {
        return MTargetRunsPrefix;
    }
    if (!PlainWord(command)) {
        return MNotRunAsCommand;
    }
    if (otherPanel && !PlainWord(Settings.Prefix.Text())) {
        *named = Settings.Prefix.Text();
        return MNotRunAsCommand;
    }
    return 0;
}

int DirectoryRefusal(const char* dir) {
    if (HoldsWildcard(dir)) {
        return MWildcardDirectory;
    }
    // No path of the Windows hosts holds '<' or '>': here they are the <U+XXXX> of a letter the
    // code page lacks, which the host could not take either.
    if (Host.CodePageTexts && std::strpbrk(dir, "<>") != nullptr) {
        return MDirectoryNotWhole;
    }
    return std::strlen(dir) > kLongestHostPath ? MJumpTooLong : 0;
}

int CarryRefusal(const char* target, bool otherPanel, const char** named) {
    if (PluginCommandPos(target) != 0) {
        return TypingRefusal(target, otherPanel, named);
    }
    *named = target;
    return DirectoryRefusal(target);
}
