// Files built into the program (cmake/embed_texts.cmake writes the arrays), so that it works
// wherever it is copied: the module's language files, and the list of the panel's keys that the
// documents show too (doc/keys/shell-panel.txt).
#pragma once

#include "embedded_text.h"

extern const EmbeddedText kLanguageFiles[];
extern const int kLanguageFilesCount;
extern const EmbeddedText kPanelKeys[];
extern const int kPanelKeysCount;
