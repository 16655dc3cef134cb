// SPDX-License-Identifier: MIT
#pragma once
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace doze {

// One line of the mount table: where a file system is mounted, its type and
// what is mounted there.
struct MountEntry {
    std::string mountPoint;
    std::string type;
    std::string source;
    std::string device;  // "major:minor" of the file system
    std::string root;    // the folder of that file system mounted here ("/": all of it)
};

// The mounts in mount-table text of /proc/self/mountinfo form, in table
// order, octal escapes decoded; lines that do not parse are passed over.
std::vector<MountEntry> ParseMountTable(std::string_view mountinfo);

// The running process's mount table as text; empty when it cannot be read.
std::string ReadMountTable();

// True for a kernel pseudo file-system type name (proc, sysfs, devpts...).
bool IsPseudoFileSystem(std::string_view type);

// Mount points of kernel pseudo file systems, which a search passes over.
using MountSet = std::unordered_set<std::string>;

// The pseudo file-system mount points of mount-table text.
MountSet ParsePseudoMounts(std::string_view mountinfo);

// The same for the running process; empty when the table cannot be read.
MountSet LoadPseudoMounts();

}  // namespace doze
