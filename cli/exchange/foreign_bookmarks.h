// The bookmark files of two other directory-bookmark tools, read for `velmora import --from`:
// wd's lines "name:path" and bashmarks' lines `export DIR_name="path"`.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "exchange_format.h"

enum class BookmarkFormat { kWd, kBashmarks };

struct Bookmark {
    std::string name;
    std::string path;
};

struct BookmarkProblem {
    size_t line = 0;
    std::string text;
};

// The bookmarks read from `in`, with `home` for a leading "~" (wd) or "$HOME" (bashmarks).
// Lines that are not bookmarks, or that the store cannot take, are reported and skipped; blank
// lines and comments are not. False when the input is not such a file at all: binary, without
// a single bookmark, with kMaxBadLines lines that are none, or beyond what an import reads
// (transfer_input.h).
bool ParseBookmarks(BookmarkFormat format, std::FILE* in, const std::string& home,
                    std::vector<Bookmark>* bookmarks, std::vector<BookmarkProblem>* problems);
// A bookmark as a permanent name.
ExchangeEntry BookmarkEntry(const Bookmark& bookmark);
