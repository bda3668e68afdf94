// Far's text rules on Windows, which the stand-in host also follows for the module built in
// Far's layout on Linux.
#include "host_text_rules.h"

const WildcardText kHostText = WildcardText::kBytes;
const bool kDropsTrailingBlanks = false;
const int kBoxFrameColumns = 0;
