// Reading wd and bashmarks files. Nothing in them is run: a bashmarks value that would need a
// shell to be read (a variable other than $HOME, a command substitution) is a problem, not a
// path.
#include "foreign_bookmarks.h"

#include <cctype>

#include "transfer_input.h"

namespace {

bool StartsWith(const std::string& text, const std::string& head) {
    return text.compare(0, head.size(), head) == 0;
}

// "name:path", the path absolute or beginning with "~/".
bool ParseWdLine(const std::string& line, const std::string& home, Bookmark* bookmark,
                 std::string* problem) {
    size_t colon = line.find(':');
    if (colon == std::string::npos || colon == 0) {
        *problem = "not name:path";
        return false;
    }
    bookmark->name = line.substr(0, colon);
    bookmark->path = line.substr(colon + 1);
    if (bookmark->path == "~" || StartsWith(bookmark->path, "~/")) {
        bookmark->path = home + bookmark->path.substr(1);
    }
    if (!StartsWith(bookmark->path, "/")) {
        *problem = "the path is not absolute";
        return false;
    }
    return true;
}

// The value behind "=": in double quotes with the shell's backslash escapes, or in single
// quotes; "$HOME" or "${HOME}" may begin it.
bool ParseShellValue(const std::string& value, const std::string& home, std::string* path,
                     std::string* problem) {
    char quote = value.empty() ? 0 : value[0];
    if ((quote != '"' && quote != '\'') || value.size() < 2 || value.back() != quote) {
        *problem = "the path is not in quotation marks";
        return false;
    }
    std::string inner = value.substr(1, value.size() - 2);
    path->clear();
    if (quote == '\'') {
        if (inner.find('\'') != std::string::npos) {
            *problem = "a quotation mark inside the path";
            return false;
        }
        *path = inner;
        return true;
    }
    size_t i = 0;
    for (const char* variable : {"$HOME", "${HOME}"}) {
        if (StartsWith(inner, variable) && (inner.size() == std::string(variable).size() ||
                                            inner[std::string(variable).size()] == '/')) {
            *path = home;
            i = std::string(variable).size();
        }
    }
    for (; i < inner.size(); ++i) {
        char c = inner[i];
        if (c == '\\' && i + 1 < inner.size() &&
            std::string("\"\\$`").find(inner[i + 1]) != std::string::npos) {
            *path += inner[++i];
        } else if (c == '"' || c == '$' || c == '`') {
            *problem = "the path needs a shell to be read";
            return false;
        } else {
            *path += c;
        }
    }
    return true;
}

// export DIR_name="path"; bashmarks' names are letters, digits and '_'.
bool ParseBashmarksLine(const std::string& line, const std::string& home, Bookmark* bookmark,
                        std::string* problem) {
    const std::string lead = "export DIR_";
    size_t equals = line.find('=');
    if (!StartsWith(line, lead) || equals == std::string::npos || equals == lead.size()) {
        *problem = "not export DIR_name=\"path\"";
        return false;
    }
    bookmark->name = line.substr(lead.size(), equals - lead.size());
    for (char c : bookmark->name) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') {
            *problem = "a name of letters, digits and _ only";
            return false;
        }
    }
    if (!ParseShellValue(line.substr(equals + 1), home, &bookmark->path, problem)) {
        return false;
    }
    if (!StartsWith(bookmark->path, "/")) {
        *problem = "the path is not absolute";
        return false;
    }
    return true;
}

bool Ignored(const std::string& line) {
    size_t first = line.find_first_not_of(" \t");
    return first == std::string::npos || line[first] == '#';
}

}  // namespace

bool ParseBookmarks(BookmarkFormat format, std::FILE* in, const std::string& home,
                    std::vector<Bookmark>* bookmarks, std::vector<BookmarkProblem>* problems) {
    LineReader reader(in);
    std::string line;
    for (LineRead read; (read = reader.Next(&line)) != LineRead::kEnd;) {
        Bookmark bookmark;
        std::string problem;
        if (read != LineRead::kLine && read != LineRead::kCut) {
            problems->push_back({reader.Number(), LineFault(read)});
            return false;
        }
        if (read != LineRead::kLine) {
            problem = LineFault(read);
        } else if (Ignored(line)) {
            continue;
        } else if (format == BookmarkFormat::kWd
                       ? ParseWdLine(line, home, &bookmark, &problem)
                       : ParseBashmarksLine(line, home, &bookmark, &problem)) {
            problem = EntryProblem(BookmarkEntry(bookmark));
        }
        if (problem.empty()) {
            bookmarks->push_back(bookmark);
        } else {
            problems->push_back({reader.Number(), problem});
            if (problems->size() >= kMaxBadLines) {
                return false;
            }
        }
    }
    return !bookmarks->empty();
}

ExchangeEntry BookmarkEntry(const Bookmark& bookmark) {
    ExchangeEntry entry;
    entry.value.name = bookmark.name;
    entry.value.type = REG_SZ;
    entry.value.data = bookmark.path + '\0';
    return entry;
}
