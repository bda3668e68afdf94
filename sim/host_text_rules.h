// How the host being stood in for treats texts: the two hosts differ, and each build of the
// stand-in host links the one source that describes its host, so no code here asks which it is.
#pragma once

#include "wildcard.h"

// The texts the host hands its plugins: UTF-8 for far2l, the ANSI code page's bytes for Far.
extern const WildcardText kHostText;
// far2l drops the blanks that end the typed command line; Far keeps them.
extern const bool kDropsTrailingBlanks;
// far2l shows a message box's line in at most the screen's width less these columns and cuts
// the rest off; 0 when the host cuts nothing.
extern const int kBoxFrameColumns;
