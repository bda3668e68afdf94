// Messages for a person on standard error; see visible_text.h.
#include "visible_text.h"

#include <cstdio>

void Say(const std::string& message) {
    std::fprintf(stderr, "velmora: %s\n", VisibleText(message).c_str());
}
