#pragma once

#include <string>
#include <vector>

// What a death-test child saw, handed to the parent through a file in the
// temporary folder: the child ends without returning, so it cannot report in
// any other way. Line breaks within a line are written as "\n".
namespace ChildRecord {

// In the parent, before the child runs.
void Clear();
// In the child.
void Add(const std::string& line);
// In the parent, afterwards.
std::vector<std::string> Lines();

}  // namespace ChildRecord
