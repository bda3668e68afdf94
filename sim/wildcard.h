// The host's wildcard comparison as the stand-in host offers it through CmpName: '*' matches
// any run of characters, '?' exactly one, "[...]" one of a set, and letters match without
// regard to case.
#pragma once

// How the compared texts are read. The Windows host compares 8-bit texts byte by byte and folds
// only ASCII letters; far2l reads UTF-8, so a character of several bytes is one character to
// '?' and a set, and every letter Unicode knows in two cases folds.
enum class WildcardText { kBytes, kUtf8 };

// Returns nonzero when `string` matches `pattern`. With `skipPath` nonzero only the part of
// `string` behind its last '\' or '/' is compared. Slashes in the pattern are ordinary
// characters. A null text counts as empty.
//
// Sets are read as the hosts read them: "[a-cx]" holds a to c and x; a '-' first or last in the
// set stands for itself, and so do '!' and '^' (there is no negation); "[]]" is the one
// character ']'; an empty "[]" matches nothing; a '[' with no ']' anywhere behind it is an
// ordinary character. A set and a range ignore case as far2l does, by comparing upper cases.
int CmpNameWildcard(const char* pattern, const char* string, int skipPath,
                    WildcardText text = WildcardText::kBytes);
