#include "test_support/deep_tree.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <stdexcept>
#include <vector>

namespace doze::test {
namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// Removes the files of the open folder `fd`; gives the name of a subfolder
// when it has one, else "".
std::string ClearFiles(int fd) {
    std::string sub;
    DIR* dir = ::fdopendir(::dup(fd));
    if (dir == nullptr) throw std::runtime_error("cannot read a folder to remove");
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        struct stat st {};
        if (::fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode)) {
            sub = name;
        } else if (::unlinkat(fd, name.c_str(), 0) != 0) {
            ::closedir(dir);
            throw std::runtime_error("cannot remove " + name);
        }
    }
    ::closedir(dir);
    return sub;
}

}  // namespace

std::string MakeNestedFolders(const std::string& root, const std::string& segment, int levels,
                              const std::string& file) {
    int fd = ::open(root.c_str(), kFolderFlags);
    std::string path = root;
    for (int i = 0; i < levels && fd >= 0; ++i) {
        const int next = ::mkdirat(fd, segment.c_str(), 0755) == 0
                             ? ::openat(fd, segment.c_str(), kFolderFlags)
                             : -1;
        ::close(fd);
        fd = next;
        path += "/" + segment;
    }
    if (fd >= 0 && !file.empty()) ::close(::openat(fd, file.c_str(), O_WRONLY | O_CREAT, 0644));
    if (fd < 0) throw std::runtime_error("cannot make nested folders below " + root);
    ::close(fd);
    return path;
}

void RemoveTree(const std::string& path) {
    std::vector<std::string> names;  // the way down from `path` to the folder open
    int fd = ::open(path.c_str(), kFolderFlags);
    while (fd >= 0) {
        const std::string sub = ClearFiles(fd);
        if (!sub.empty()) {
            const int next = ::openat(fd, sub.c_str(), kFolderFlags);
            ::close(fd);
            fd = next;
            names.push_back(sub);
            continue;
        }
        if (names.empty()) break;
        const int up = ::openat(fd, "..", kFolderFlags);
        ::close(fd);
        fd = up;
        if (fd >= 0 && ::unlinkat(fd, names.back().c_str(), AT_REMOVEDIR) != 0) {
            ::close(fd);
            throw std::runtime_error("cannot remove the folder " + names.back());
        }
        names.pop_back();
    }
    if (fd >= 0) ::close(fd);
    ::rmdir(path.c_str());
}

}  // namespace doze::test
