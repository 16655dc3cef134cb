// SPDX-License-Identifier: MIT
#pragma once
#include <string>

#include "output/file_calls.h"

namespace doze {

// True when something other than a folder stands at `path`: a file, hidden
// or not, a link (even a dangling one), a FIFO. Writing there replaces it, or
// fails, so the user is asked first.
bool TargetExists(const std::string& path, const FileCalls& calls = SystemFileCalls());

// Where a write to `path` lands once links are followed: `path` with each link
// among its names, in the folder part as in the last name, replaced by what
// it names, so that the result holds no link but, perhaps, one that cannot be
// read; its last name may not exist yet. Throws WriteFailure for a chain that
// loops, and for a link that the kernel's rule for protected links would not
// let this user follow, wherever it stands. `calls` looks at the names.
std::string ResolveWriteTarget(const std::string& path, const FileCalls& calls);

// The folder part of `path`: "." when it has none, "/" for a file in the root.
std::string FolderOf(const std::string& path);

}  // namespace doze
