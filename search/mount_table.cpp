// SPDX-License-Identifier: MIT
#include "search/mount_table.h"

#include <array>
#include <fstream>
#include <iterator>
#include <sstream>

namespace doze {
namespace {

// Mount points in the table escape blanks, tabs, newlines and "\" as \ooo.
std::string DecodeOctal(std::string_view field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' &&
            field[i + 1] <= '3' && field[i + 2] >= '0' && field[i + 2] <= '7' &&
            field[i + 3] >= '0' && field[i + 3] <= '7') {
            out.push_back(static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                            (field[i + 3] - '0')));
            i += 3;
        } else {
            out.push_back(field[i]);
        }
    }
    return out;
}

}  // namespace

bool IsPseudoFileSystem(std::string_view type) {
    static constexpr std::array<std::string_view, 17> kTypes = {
        "proc",       "sysfs",     "devtmpfs", "devpts",      "cgroup",  "cgroup2",
        "securityfs", "debugfs",   "tracefs",  "pstore",      "bpf",     "configfs",
        "mqueue",     "hugetlbfs", "fusectl",  "binfmt_misc", "efivarfs"};
    for (std::string_view t : kTypes) {
        if (t == type) return true;
    }
    return false;
}

std::vector<MountEntry> ParseMountTable(std::string_view mountinfo) {
    std::vector<MountEntry> mounts;
    std::istringstream lines{std::string(mountinfo)};
    std::string line;
    while (std::getline(lines, line)) {
        // id parent major:minor root mountpoint options [optional...] - type source super
        std::istringstream fields(line);
        std::string id, parent, devno, root, mountPoint, word;
        if (!(fields >> id >> parent >> devno >> root >> mountPoint)) continue;
        while (fields >> word && word != "-") {
        }
        MountEntry entry;
        if (word != "-" || !(fields >> entry.type >> entry.source)) continue;
        entry.mountPoint = DecodeOctal(mountPoint);
        entry.source = DecodeOctal(entry.source);
        entry.device = devno;
        entry.root = DecodeOctal(root);
        mounts.push_back(std::move(entry));
    }
    return mounts;
}

std::string ReadMountTable() {
    std::ifstream in("/proc/self/mountinfo");
    return std::string(std::istreambuf_iterator<char>(in), {});
}

MountSet ParsePseudoMounts(std::string_view mountinfo) {
    MountSet result;
    for (const MountEntry& mount : ParseMountTable(mountinfo)) {
        if (IsPseudoFileSystem(mount.type)) result.insert(mount.mountPoint);
    }
    return result;
}

MountSet LoadPseudoMounts() {
    return ParsePseudoMounts(ReadMountTable());
}

}  // namespace doze
