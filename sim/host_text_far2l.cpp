// far2l's text rules: UTF-8 texts, a command line without its ending blanks, and message box
// lines cut at the screen's width less the box's frame.
#include "host_text_rules.h"

const WildcardText kHostText = WildcardText::kUtf8;
const bool kDropsTrailingBlanks = true;
const int kBoxFrameColumns = 14;
