// Names that are one text in two Unicode forms: "café" typed with its é as one character, and
// imported from a system that writes an e and a combining accent, look the same in every list,
// yet they are two names to the store, and a jump finds the one typed the same way only.
// `velmora check` points them out.
#pragma once

#include <string>
#include <vector>

#include "store_sections.h"

// `name` in its canonical decomposition (Unicode's NFD), the form in which two such texts are
// equal. A byte that is no part of a well-formed UTF-8 character stays a unit of its own, above
// every code point.
std::u32string CanonicalForm(const std::string& name);

// The names (not filters) among `entries` that are two names to the store while their canonical
// forms are equal, as groups of indices into `entries`.
std::vector<std::vector<size_t>> LookAlikeNames(const std::vector<StoreEntry>& entries);

// `name` with each character beyond ASCII written as <U+XXXX>, so that a person sees how two
// look-alikes differ.
std::string Spelled(const std::string& name);
