// Texts written for a person, with their control characters shown as the module shows them
// (host/control_bytes.h). Outputs that are data (the directory a jump prints for the shell, an
// export) are written byte for byte instead.
#pragma once

#include <string>

#include "host/control_bytes.h"

// Writes "velmora: " and the message, its control bytes shown, as a line on standard error.
void Say(const std::string& message);
// What storing a name again changed, as every command says it: "alpha now /x (was /y)".
std::string ReplacedText(const std::string& name, const std::string& now, const std::string& was);
