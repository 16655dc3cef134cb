#pragma once
#include <string>

namespace doze::test {

// Makes `levels` nested folders named `segment` below `root`, each made
// relative to the one above, so the path may grow past what the system takes
// in one piece; with `file`, an empty file of that name in the deepest one.
// Returns the deepest folder's path.
std::string MakeNestedFolders(const std::string& root, const std::string& segment, int levels,
                              const std::string& file = "");

// Removes the folder `path` and everything below it, however deep.
void RemoveTree(const std::string& path);

}  // namespace doze::test
