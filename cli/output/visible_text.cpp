// Messages for a person on standard error; see visible_text.h.
#include "visible_text.h"

#include <cstdio>

void Say(const std::string& message) {
    std::fprintf(stderr, "velmora: %s\n", VisibleText(message).c_str());
}

std::string ReplacedText(const std::string& name, const std::string& now, const std::string& was) {
    return name + " now " + now + " (was " + was + ")";
}
