// The language-file reader of the stand-in host. It keeps to what the host accepts, so that a
// file our tests pass is one the host reads the same way: comments, blank lines and unknown
// directives are skipped, and messages are counted by position only.
#include "lng_file.h"

#include <fstream>
#include <sstream>

namespace {

const char kLanguageDirective[] = ".Language=";
const char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string Trimmed(const std::string& line) {
    size_t begin = 0;
    size_t end = line.size();
    while (begin < end && IsBlank(line[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(line[end - 1])) {
        --end;
    }
    return line.substr(begin, end - begin);
}

// `body` is the trimmed line without its opening quotation mark. A lone quotation mark that
// ends the line closes the message; one inside it is kept, as the host keeps it.
std::string DecodeMessage(const std::string& body) {
    std::string text;
    for (size_t i = 0; i < body.size(); ++i) {
        const char c = body[i];
        const char next = i + 1 < body.size() ? body[i + 1] : '\0';
        if (c == '\\') {
            switch (next) {
                case '"':
                case '\\':
                    text += next;
                    ++i;
                    continue;
                case 'n':
                    text += '\n';
                    ++i;
                    continue;
                case 't':
                    text += '\t';
                    ++i;
                    continue;
                default:
                    // Paths such as C:\dir must survive a translator who did not double the
                    // backslash.
                    text += c;
                    continue;
            }
        }
        if (c == '"') {
            if (next == '"') {
                text += '"';
                ++i;
                continue;
            }
            if (i + 1 == body.size()) {
                break;
            }
        }
        text += c;
    }
    return text;
}

// The identifier is what the host matches against its interface language; the display name
// after the comma is for people only.
std::string LanguageIdOf(const std::string& directiveValue) {
    return Trimmed(directiveValue.substr(0, directiveValue.find(',')));
}

}  // namespace

bool ParseLanguageText(const std::string& text, std::vector<std::string>* messages,
                       std::string* languageId) {
    messages->clear();
    std::string id;
    size_t start = text.compare(0, 3, kUtf8ByteOrderMark) == 0 ? 3 : 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end;
        const std::string trimmed = Trimmed(text.substr(start, end - start));
        start = end + 1;
        if (trimmed.empty() || trimmed.compare(0, 2, "//") == 0) {
            continue;
        }
        if (trimmed[0] == '"') {
            messages->push_back(DecodeMessage(trimmed.substr(1)));
        } else if (id.empty() &&
                   trimmed.compare(0, sizeof kLanguageDirective - 1, kLanguageDirective) == 0) {
            id = LanguageIdOf(trimmed.substr(sizeof kLanguageDirective - 1));
        }
    }
    if (id.empty()) {
        messages->clear();
        return false;
    }
    if (languageId != nullptr) {
        *languageId = id;
    }
    return true;
}

bool LoadLanguageFile(const std::string& path, std::vector<std::string>* messages,
                      std::string* languageId) {
    messages->clear();
    // Binary, so that a file with CR LF line ends reads the same on every system.
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return false;
    }
    std::ostringstream text;
    text << file.rdbuf();
    return !file.bad() && ParseLanguageText(text.str(), messages, languageId);
}
