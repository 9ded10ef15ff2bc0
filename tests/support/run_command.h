#pragma once

#include <set>
#include <string>

namespace tallwick::test {

// Runs a shell command and returns what it wrote to standard output.
std::string RunCommand(const std::string& command);

// The non-empty lines of a text.
std::set<std::string> NonEmptyLines(const std::string& text);

}  // namespace tallwick::test
