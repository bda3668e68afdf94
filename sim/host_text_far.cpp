// The text rules of the Windows host (and of the native module, which keeps its layout).
#include "host_text_rules.h"

const WildcardText kHostText = WildcardText::kBytes;
const bool kDropsTrailingBlanks = false;
const int kBoxFrameColumns = 0;
