// The module's texts in the user's language. The program carries every language file inside;
// files found where the program looks for them (locations.h) take their place, so that a
// translation can be mended without a new program.
#pragma once

#include <string>
#include <vector>

// The texts of $VELMORA_LANGUAGE, named by a language file's ".Language=" identifier with
// letter case ignored, English when unset. A language that no file has gives the English texts,
// and `warning` says so, naming the languages there are; it is empty otherwise.
std::vector<std::string> ModuleTexts(std::string* warning);
