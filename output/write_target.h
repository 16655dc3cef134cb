#pragma once
#include <string>

namespace doze {

// True when something other than a folder stands at `path`: a file, hidden
// or not, a link (even a dangling one), a FIFO. Writing there replaces it, or
// fails, so the user is asked first.
bool TargetExists(const std::string& path);

// Where a write to `path` lands once links are followed: the path itself when
// it is no link, else the last path in its chain of links (which may not exist
// yet). Throws WriteFailure for a chain that loops, and for a link that the
// kernel's rule for protected links would not let this user follow.
std::string ResolveWriteTarget(const std::string& path);

// The folder part of `path`: "." when it has none, "/" for a file in the root.
std::string FolderOf(const std::string& path);

}  // namespace doze
