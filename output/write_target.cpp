#include "output/write_target.h"

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "output/write_failure.h"

namespace doze {
namespace {

constexpr int kMaxLinks = 40;

// The kernel's rule for protected links: a link in a sticky, world-writable
// folder is followed only for its owner or the folder's owner, so that no one
// can plant a link in /tmp that steers another user's write.
bool MayFollow(const std::string& link, const struct stat& linkStat) {
    struct stat folder {};
    if (::stat(FolderOf(link).c_str(), &folder) != 0) return false;
    const bool shared = (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0;
    return !shared || linkStat.st_uid == ::geteuid() || linkStat.st_uid == folder.st_uid;
}

}  // namespace

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

bool TargetExists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

std::string ResolveWriteTarget(const std::string& path) {
    std::string current = path;
    for (int hop = 0; hop < kMaxLinks; ++hop) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
        if (!MayFollow(current, st)) {
            throw WriteFailure("Cannot write \"" + path + "\": " +
                               (current == path ? "it is" : "it leads to \"" + current + "\",") +
                               " a link in a shared folder that belongs to another user.");
        }
        std::vector<char> target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : PATH_MAX) +
                                 1);
        const ssize_t length = ::readlink(current.c_str(), target.data(), target.size());
        if (length < 0) return current;
        std::string next(target.data(), static_cast<std::size_t>(length));
        current = (!next.empty() && next.front() == '/') ? next : FolderOf(current) + "/" + next;
    }
    throw WriteFailure("Cannot write \"" + path + "\": " + SystemErrorText(ELOOP) + ".");
}

}  // namespace doze
