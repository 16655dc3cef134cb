#pragma once
#include <string>
#include <string_view>
#include <unordered_set>

namespace doze {

// Mount points of kernel pseudo file systems (proc, sysfs, devpts, cgroup...),
// which a search passes over.
using MountSet = std::unordered_set<std::string>;

// Reads the mount table text in /proc/self/mountinfo form and returns the
// mount points of pseudo file systems in it (octal escapes decoded).
MountSet ParsePseudoMounts(std::string_view mountinfo);

// The same for the running process; empty when the table cannot be read.
MountSet LoadPseudoMounts();

// True for a kernel pseudo file-system type name.
bool IsPseudoFileSystem(std::string_view type);

}  // namespace doze
