// The module's English texts, read from the language file in the source tree the way the host
// reads them, for tests that need the texts without linking the module's code.
#pragma once

#include <string>
#include <vector>

// Message n is element n; empty when the file cannot be read.
std::vector<std::string> EnglishMessages();
