// Far's text rules on Windows, which the stand-in host also follows for the module built in
// Far's layout on Linux, and its ways, which are the stand-in host's own.
#include "host_text_rules.h"
#include "sim_host.h"

void TakeBuiltHostsWays(SimHost&) {}

const WildcardText kHostText = WildcardText::kBytes;
const bool kDropsTrailingBlanks = false;
const int kBoxFrameColumns = 0;
