// The host's wildcard comparison as the stand-in host offers it through CmpName: '*' matches
// any run of characters, '?' exactly one, and letters match without regard to case.
#pragma once

// Returns nonzero when `string` matches `pattern`. With `skipPath` nonzero only the part of
// `string` behind its last '\' or '/' is compared. Texts are bytes: only ASCII letters fold
// case, and slashes in the pattern are ordinary characters. A null text counts as empty.
int CmpNameWildcard(const char* pattern, const char* string, int skipPath);
