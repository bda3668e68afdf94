// Reading the module's language files the way the host does: the ".Language=" line names the
// language, and every line that starts with a quotation mark is the next message. The texts
// come back as the file's bytes, in whatever code page the file is written in.
#pragma once

#include <string>
#include <vector>

// Fills `messages` with the file's texts in file order, so that message n is messages[n], and
// `languageId` (when not null) with the identifier before the comma of the ".Language=" line.
// Inside a message, \" \\ \n \t and "" stand for a quotation mark, a backslash, a line feed, a
// tab and a quotation mark; any other backslash is kept as it is. Returns false when the file
// cannot be read or has no ".Language=" line with an identifier; `messages` is then empty.
bool LoadLanguageFile(const std::string& path, std::vector<std::string>* messages,
                      std::string* languageId);
// The same for the file's contents, held in `text`.
bool ParseLanguageText(const std::string& text, std::vector<std::string>* messages,
                       std::string* languageId);
