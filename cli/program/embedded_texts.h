// Files built into the program (cmake/embed_texts.cmake writes the array): the module's
// language files, so that the program works wherever it is copied.
#pragma once

struct EmbeddedText {
    const char* name;
    unsigned size;
    const char* bytes;
};

extern const EmbeddedText kEmbeddedTexts[];
extern const int kEmbeddedTextCount;
