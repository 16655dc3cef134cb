// SPDX-License-Identifier: MIT
#include "output/write_target.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "output/message_text.h"
#include "output/write_failure.h"
#include "search/path_text.h"

namespace doze {
namespace {

constexpr int kMaxLinks = 40;

// The kernel's rule for protected links: a link in a sticky, world-writable
// folder is followed only for its owner or the folder's owner, so that no one
// can plant a link in /tmp that steers another user's write.
bool MayFollow(const std::string& link, const struct stat& linkStat, const FileCalls& calls) {
    struct stat folder {};
    if (calls.stat(AT_FDCWD, FolderOf(link).c_str(), &folder, 0) != 0) return false;
    const bool shared = (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0;
    return !shared || linkStat.st_uid == ::geteuid() || linkStat.st_uid == folder.st_uid;
}

// Takes the first name off `rest` (skipping separators before it); empty when
// none is left.
std::string TakeName(std::string& rest) {
    const std::size_t start = rest.find_first_not_of('/');
    if (start == std::string::npos) {
        rest.clear();
        return {};
    }
    const std::size_t end = rest.find('/', start);
    std::string name = rest.substr(start, end - start);
    rest.erase(0, end == std::string::npos ? rest.size() : end);
    return name;
}

}  // namespace

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

bool TargetExists(const std::string& path, const FileCalls& calls) {
    struct stat st {};
    return calls.stat(AT_FDCWD, path.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
           !S_ISDIR(st.st_mode);
}

std::string ResolveWriteTarget(const std::string& path, const FileCalls& calls) {
    // `done` holds no link: each name is added once it is known to be none,
    // and a link's text takes its place in what is left to go.
    if (path.empty()) return path;
    std::string done = path.front() == '/' ? "/" : "";
    std::string rest = path;
    int hops = 0;
    for (std::string name = TakeName(rest); !name.empty(); name = TakeName(rest)) {
        if (name == ".") continue;
        const std::string current = done.empty() ? name : AddBackslash(done) + name;
        struct stat st {};
        if (calls.stat(AT_FDCWD, current.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISLNK(st.st_mode)) {
            done = current;
            continue;
        }
        if (!MayFollow(current, st, calls)) {
            throw WriteFailure(
                "Cannot write " + QuotedMessagePath(path) + ": " +
                (current == path ? "it is" : "it leads to " + QuotedMessagePath(current) + ",") +
                " a link in a shared folder that belongs to another user.");
        }
        std::vector<char> target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : PATH_MAX) +
                                 1);
        const ssize_t length =
            calls.readlink(AT_FDCWD, current.c_str(), target.data(), target.size());
        if (++hops > kMaxLinks) {
            throw WriteFailure("Cannot write " + QuotedMessagePath(path) + ": " +
                               SystemErrorText(ELOOP) + ".");
        }
        if (length <= 0) {
            done = current;  // the write will fail on it, with the cause
            continue;
        }
        std::string next(target.data(), static_cast<std::size_t>(length));
        if (next.front() == '/') done = "/";
        next += '/';
        rest.insert(0, next);
    }
    if (path.back() == '/' && done.back() != '/') done += '/';  // a folder was meant
    return done.empty() ? "." : done;
}

}  // namespace doze
