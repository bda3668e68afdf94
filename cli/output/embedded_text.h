// A file built into the program by cmake/embed_texts.cmake, so that the program works wherever it
// is copied: the language files and the panel's keys (cli/program), the shells' scripts
// (cli/shells).
#pragma once

struct EmbeddedText {
    const char* name;
    unsigned size;
    const char* bytes;
};
