// far2l's text rules: UTF-8 texts, a command line without its ending blanks, and message box
// lines cut at the screen's width less the box's frame; and its version and panel ways.
#include "host_text_rules.h"
#include "sim_host.h"

void TakeBuiltHostsWays(SimHost& host) {
    host.farVersion = MakeHostVersion(2, 6);
    host.dotsSelectable = false;
}

const WildcardText kHostText = WildcardText::kUtf8;
const bool kDropsTrailingBlanks = true;
const int kBoxFrameColumns = 14;
