#include "output/safe_file.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "output/write_failure.h"

namespace doze {
namespace {

constexpr int kMaxLinks = 40;

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

const FileCalls& SystemFileCalls() {
    static const FileCalls calls{::write, ::fsync, ::close, ::rename};
    return calls;
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
        std::vector<char> target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : PATH_MAX) +
                                 1);
        const ssize_t length = ::readlink(current.c_str(), target.data(), target.size());
        if (length < 0) return current;
        std::string next(target.data(), static_cast<std::size_t>(length));
        current = (!next.empty() && next.front() == '/') ? next : FolderOf(current) + "/" + next;
    }
    throw WriteFailure("Cannot write \"" + path + "\": " + SystemErrorText(ELOOP) + ".");
}

ReplacingFile::ReplacingFile(std::string targetPath, const FileCalls& calls)
    : target_(std::move(targetPath)), calls_(calls) {
    resolved_ = ResolveWriteTarget(target_);
    struct stat st {};
    mode_t mode = NewFileMode();
    bool exists = false;
    if (::stat(resolved_.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) {
            throw WriteFailure(
                "Cannot write \"" + target_ +
                "\": " + (S_ISDIR(st.st_mode) ? "it is a folder." : "it is not a regular file."));
        }
        exists = true;
        mode = st.st_mode & 07777;
    }
    std::string pattern = FolderOf(resolved_) + "/.dozedozovo-XXXXXX";
    fd_ = ::mkstemp(pattern.data());
    if (fd_ < 0) Fail("cannot create a file in its folder", errno);
    tempPath_ = pattern;
    if (exists && (st.st_uid != ::geteuid() || st.st_gid != ::getegid())) {
        // Keeping the owner is only possible for a privileged user; others
        // become the owner of the file they write, as with any editor.
        [[maybe_unused]] const int ignored = ::fchown(fd_, st.st_uid, st.st_gid);
    }
    if (::fchmod(fd_, mode) != 0) Fail("cannot set its permissions", errno);
}

ReplacingFile::~ReplacingFile() {
    Discard();
}

void ReplacingFile::Deliver(std::string_view bytes) {
    if (fd_ < 0) throw WriteFailure("Cannot write \"" + target_ + "\": it is closed.");
    const int err = WriteFully(fd_, bytes, calls_.write);
    if (err != 0) Fail("writing failed", err);
}

void ReplacingFile::Commit() {
    if (fd_ < 0) throw WriteFailure("Cannot write \"" + target_ + "\": it is closed.");
    Flush();
    if (calls_.fsync(fd_) != 0) Fail("storing it on disk failed", errno);
    const int fd = fd_;
    fd_ = -1;
    if (calls_.close(fd) != 0) Fail("closing it failed", errno);
    if (calls_.rename(tempPath_.c_str(), resolved_.c_str()) != 0) {
        Fail("it could not be replaced", errno);
    }
    tempPath_.clear();
    // Make the new name itself durable; the file is in place whatever this says.
    const int dir = ::open(FolderOf(resolved_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

void ReplacingFile::Fail(const std::string& what, int err) {
    Discard();
    throw WriteFailure("Cannot write \"" + target_ + "\": " + what + " (" + SystemErrorText(err) +
                       ").");
}

void ReplacingFile::Discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!tempPath_.empty()) {
        ::unlink(tempPath_.c_str());
        tempPath_.clear();
    }
}

}  // namespace doze
