// The registry's limit on the length of a value name: the system enforces it on Windows, the
// Linux store in its place, and the module and the program check a name against it before they
// write, so that a name too long is refused with a message rather than by a failed write.
#pragma once

#include <cstdint>

// The registry holds value names of up to 16,383 characters and refuses longer ones.
constexpr uint32_t kLongestValueName = 16383;
