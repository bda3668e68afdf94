// The bookmark files of two other directory-bookmark tools, read for `velmora import --from`:
// wd's lines "name:path" and bashmarks' lines `export DIR_name="path"`.
#pragma once

#include <string>
#include <vector>

enum class BookmarkFormat { kWd, kBashmarks };

struct Bookmark {
    std::string name;
    std::string path;
};

struct BookmarkProblem {
    size_t line = 0;
    std::string text;
};

// The bookmarks of `content`, with `home` for a leading "~" (wd) or "$HOME" (bashmarks).
// Lines that are not bookmarks are reported and skipped; blank lines and comments are not.
// False when the content is not such a file at all: binary, or without a single bookmark.
bool ParseBookmarks(BookmarkFormat format, const std::string& content, const std::string& home,
                    std::vector<Bookmark>* bookmarks, std::vector<BookmarkProblem>* problems);
