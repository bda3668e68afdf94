// Names no jump from the command line reaches: the module's rule for the names an add stores
// (CheckName), said for people. An import skips such a name, and `velmora check` points out those
// an earlier build or another tool's file stored, which only the panel reaches.
#pragma once

#include <string>

// Why no jump reaches `name`, as a phrase for a person ("a name holding / or \, ..."); empty when
// one does. The empty name is no concern here: the store holds none.
std::string WhyUnreachable(const std::string& name);
