#include "search/pseudo_mounts.h"

#include <array>
#include <fstream>
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

MountSet ParsePseudoMounts(std::string_view mountinfo) {
    MountSet result;
    std::size_t pos = 0;
    while (pos < mountinfo.size()) {
        std::size_t end = mountinfo.find('\n', pos);
        if (end == std::string_view::npos) end = mountinfo.size();
        std::string_view line = mountinfo.substr(pos, end - pos);
        pos = end + 1;
        // id parent major:minor root mountpoint options [optional...] - type source super
        std::istringstream fields{std::string(line)};
        std::string id, parent, devno, root, mountPoint;
        if (!(fields >> id >> parent >> devno >> root >> mountPoint)) continue;
        std::string word;
        while (fields >> word && word != "-") {
        }
        std::string type;
        if (word != "-" || !(fields >> type)) continue;
        if (IsPseudoFileSystem(type)) result.insert(DecodeOctal(mountPoint));
    }
    return result;
}

MountSet LoadPseudoMounts() {
    std::ifstream in("/proc/self/mountinfo");
    if (!in) return {};
    std::stringstream text;
    text << in.rdbuf();
    return ParsePseudoMounts(text.str());
}

}  // namespace doze
