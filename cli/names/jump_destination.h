// Whether the shell can go where a jump leads. The program checks before it hands a directory to
// the shell, so that a name whose directory is gone is said in its words, the same in every
// shell, instead of in the words of the shell's cd (zsh's name the integration's function).
#pragma once

#include <string>

// Why the shell's cd cannot enter `directory`, where a jump leads, with what to do; empty when it
// can. `name` and `stored`, when known, are the name the jump found and its target as stored
// (the directory is that target, or a folder below it), which the reason then names.
std::string WhyNotThere(const std::string& directory, const std::string& name,
                        const std::string& stored);
