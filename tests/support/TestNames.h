#pragma once
// Names that no other test (or test run) uses, so that tests run in parallel; and a look into the
// machine-wide object namespace.

#include <string>
#include <vector>

// "qbt<pid>x<n>-<label>": unique within the machine while this process lives.
std::string UniqueName(const std::string& label);
// Files in the "Global\" namespace directory whose names start with `prefix`.
std::vector<std::string> GlobalObjectsStartingWith(const std::string& prefix);
