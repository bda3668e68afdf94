// A jump to a stored directory, answered from the store without the module. Most starts of the
// program are such jumps, and the module would answer them with the same look-up and the same
// path; loading it, its language files and the stand-in host would cost the jump more than the
// look-up does. Every other text goes to the module.
#pragma once

#include <string>

// True with the directory when `text`, as typed behind the prefix, is a stored name (or a name,
// a separator and a rest) whose target is a directory, and the store said no fault.
bool StoredDirectory(const std::string& text, std::string* directory);
