// Whether two names lead to the same file, for refusing an output that would overwrite an input.
#pragma once

#include <string>

// True when both names lead to the same file, however they are spelled (relative, "..", links), also when
// neither exists yet.
bool NamesSameFile(const std::string& a, const std::string& b);
