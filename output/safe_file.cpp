#include "output/safe_file.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/random.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <utility>

#include "output/message_text.h"
#include "output/pending_names.h"
#include "output/write_failure.h"

namespace doze {
namespace {

constexpr int kNameAttempts = 100;
constexpr const char* kCannotCreate = "cannot create a file in its folder";
constexpr const char* kNotNamed = "it could not be stored under its name";

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string CannotWrite(const std::string& target) {
    return "Cannot write " + QuotedMessagePath(target) + ": ";
}

// The umask, read without setting it: setting it even for a moment would
// change the mode of files other threads make meanwhile.
mode_t CurrentUmask() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("Umask:", 0) != 0) continue;
        char* end = nullptr;
        const unsigned long mask = std::strtoul(line.c_str() + 6, &end, 8);
        if (end != line.c_str() + 6) return static_cast<mode_t>(mask & 0777);
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// ".dozedozovo-" and six random letters or digits.
std::string HiddenName() {
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    unsigned char random[6];
    if (::getrandom(random, sizeof random, GRND_NONBLOCK) != sizeof random) {
        timespec now{};
        ::clock_gettime(CLOCK_REALTIME, &now);
        unsigned long seed = static_cast<unsigned long>(now.tv_nsec) ^
                             static_cast<unsigned long>(::getpid()) ^
                             static_cast<unsigned long>(::random());
        for (unsigned char& byte : random) byte = static_cast<unsigned char>(seed >>= 5);
    }
    std::string name = ".dozedozovo-";
    for (const unsigned char byte : random) name += kLetters[byte % (sizeof kLetters - 1)];
    return name;
}

// The folder is reached following no link: ResolveWriteTarget has put what
// each names in its place, so one that appears later is not followed.
int OpenFolder(const char* path) {
    open_how how{};
    how.flags = O_PATH | O_DIRECTORY | O_CLOEXEC;
    how.resolve = RESOLVE_NO_SYMLINKS;
    const long fd = ::syscall(SYS_openat2, AT_FDCWD, path, &how, sizeof how);
    if (fd >= 0 || (errno != ENOSYS && errno != EPERM)) return static_cast<int>(fd);
    return ::open(path, O_PATH | O_DIRECTORY | O_CLOEXEC);  // a kernel before openat2
}

int OpenUnnamed(int folder, mode_t mode) {
    return ::openat(folder, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, mode);
}

int OpenAt(int folder, const char* name, int flags, mode_t mode) {
    return ::openat(folder, name, flags, mode);
}

// A file system that has no such call, or none for this kind of file.
bool Unsupported(int err) {
    return err == EINVAL || err == ENOSYS || err == EOPNOTSUPP;
}

// A file system without hard links (FAT, many network shares and FUSE
// mounts), or, for an unnamed file, no /proc and no right to link by descriptor.
bool CannotLink(int err) {
    return err == EPERM || err == ENOENT || err == EOPNOTSUPP || err == ENOSYS;
}

// Opens the folder of the file a write to `target` lands in as `folder` and
// gives that file's `name`; true, with `st`, when something is there. Throws
// for a link that may not be followed, a target that is no regular file and a
// folder that cannot be opened.
bool OpenTarget(const std::string& target, const FileCalls& calls, int& folder, std::string& name,
                struct stat& st) {
    const std::string resolved = ResolveWriteTarget(target);
    name = BaseName(resolved);
    folder = calls.openFolder(FolderOf(resolved).c_str());
    if (folder < 0) {
        throw WriteFailure(CannotWrite(target) + kCannotCreate + " (" + SystemErrorText(errno) +
                           ").");
    }
    if (calls.stat(folder, name.c_str(), &st, 0) != 0) return false;
    if (S_ISREG(st.st_mode)) return true;
    calls.close(std::exchange(folder, -1));
    throw WriteFailure(CannotWrite(target) +
                       (S_ISDIR(st.st_mode) ? "it is a folder." : "it is not a regular file."));
}

}  // namespace

const FileCalls& SystemFileCalls() {
    static const FileCalls calls{
        .openFolder = OpenFolder,
        .openUnnamed = OpenUnnamed,
        .openat = OpenAt,
        .stat = ::fstatat,
        .fchown = ::fchown,
        .fchmod = ::fchmod,
        .write = ::write,
        .pread = ::pread,
        .fsync = ::fsync,
        .close = ::close,
        .link = ::linkat,
        .rename = ::renameat2,
        .unlink = ::unlinkat,
        .syncFolder = ::fsync,
    };
    return calls;
}

void CheckWritable(const std::string& target, const FileCalls& calls) {
    int folder = -1;
    std::string name;
    struct stat st {};
    OpenTarget(target, calls, folder, name, st);
    const int err = ::faccessat(folder, ".", W_OK | X_OK, AT_EACCESS) == 0 ? 0 : errno;
    calls.close(folder);
    if (err != 0) {
        throw WriteFailure(CannotWrite(target) + kCannotCreate + " (" + SystemErrorText(err) +
                           ").");
    }
}

ReplacingFile::ReplacingFile(std::string targetPath, const FileCalls& calls, ReplaceConsent consent)
    : target_(std::move(targetPath)), calls_(calls), consent_(std::move(consent)) {
    struct stat st {};
    const bool exists = OpenTarget(target_, calls_, folder_, name_, st);
    mode_ = exists ? st.st_mode & 07777 : 0666 & ~CurrentUmask();
    if (exists && (st.st_uid != ::geteuid() || st.st_gid != ::getegid())) {
        owner_ = st.st_uid;
        group_ = st.st_gid;
    }
    replace_ = exists && !consent_;
    fd_ = calls_.openUnnamed(folder_, mode_ & 0777);
    unnamed_ = fd_ >= 0;
    if (!unnamed_) {
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) Fail(kCannotCreate, errno);
        fd_ = MakeHiddenFile();  // no unnamed files here
    }
    SetOwnerAndMode();
}

ReplacingFile::~ReplacingFile() {
    Discard();
}

void ReplacingFile::SetOwnerAndMode() {
    if (owner_ != static_cast<uid_t>(-1)) {
        // Keeping the owner is only possible for a privileged user; others
        // become the owner of the file they write, as with any editor.
        [[maybe_unused]] const int ignored = calls_.fchown(fd_, owner_, group_);
    }
    // A file system without permissions (FAT) refuses; its files have the
    // mode it gives them.
    if (calls_.fchmod(fd_, mode_) != 0 && !Unsupported(errno) && errno != EPERM) {
        Fail("cannot set its permissions", errno);
    }
}

// Makes a hidden temporary name in the folder with `make`, which returns a
// negative number and sets errno on failure; the name is recorded for removal
// on a signal before it exists. Returns what `make` returned, -1 with errno
// after a failure.
int ReplacingFile::MakeHiddenName(const std::function<int(const char*)>& make) {
    const SignalHold hold;
    int err = EEXIST;
    for (int attempt = 0; attempt < kNameAttempts && err == EEXIST; ++attempt) {
        std::string name = HiddenName();
        RecordPendingName(folder_, name);
        const int result = make(name.c_str());
        if (result >= 0) {
            temp_ = std::move(name);
            return result;
        }
        err = errno;
        ForgetPendingName(folder_, name);
    }
    errno = err;
    return -1;
}

int ReplacingFile::MakeHiddenFile() {
    const int fd = MakeHiddenName([this](const char* name) {
        return calls_.openat(folder_, name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode_ & 0777);
    });
    if (fd < 0) Fail(kCannotCreate, errno);
    return fd;
}

// Links the unnamed file as `name`: through /proc, else by its descriptor.
int ReplacingFile::LinkUnnamed(const char* name) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd_);
    const int result = calls_.link(AT_FDCWD, self.c_str(), folder_, name, AT_SYMLINK_FOLLOW);
    if (result == 0 || errno != ENOENT) return result;
    return calls_.link(fd_, "", folder_, name, AT_EMPTY_PATH);
}

// The unnamed file could not be linked (`err`): where that is for want of
// links, its bytes move to a hidden temporary file, which takes its place.
void ReplacingFile::BecomeNamed(int err) {
    if (!CannotLink(err)) Fail(kNotNamed, err);
    const int named = MakeHiddenFile();
    const int unnamed = std::exchange(fd_, named);
    unnamed_ = false;
    std::string buffer(1 << 16, '\0');
    err = 0;
    for (off_t at = 0; err == 0;) {
        const ssize_t got = calls_.pread(unnamed, buffer.data(), buffer.size(), at);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            err = got < 0 ? errno : 0;
            break;
        }
        err = WriteFully(fd_, std::string_view(buffer).substr(0, static_cast<std::size_t>(got)),
                         calls_.write);
        at += got;
    }
    calls_.close(unnamed);
    if (err != 0) Fail("writing failed", err);
    SetOwnerAndMode();
    if (calls_.fsync(fd_) != 0) Fail("storing it on disk failed", errno);
}

void ReplacingFile::Deliver(std::string_view bytes) {
    if (fd_ < 0) throw WriteFailure(CannotWrite(target_) + "it is closed.");
    const int err = WriteFully(fd_, bytes, calls_.write);
    if (err != 0) Fail("writing failed", err);
}

void ReplacingFile::Commit() {
    if (fd_ < 0) throw WriteFailure(CannotWrite(target_) + "it is closed.");
    Flush();
    if (calls_.fsync(fd_) != 0) Fail("storing it on disk failed", errno);
    if (replace_ || !NameWithoutReplacing()) {
        if (consent_ && !consent_(target_)) {
            Discard();
            throw TargetAppeared(CannotWrite(target_) + "the file exists.");
        }
        NameReplacing();
    }
    SyncFolder();
}

// Gives the file the target's name unless something has that name by now;
// false then.
bool ReplacingFile::NameWithoutReplacing() {
    if (unnamed_) {
        if (LinkUnnamed(name_.c_str()) == 0) {
            if (calls_.close(std::exchange(fd_, -1)) != 0) {
                const int err = errno;
                calls_.unlink(folder_, name_.c_str(), 0);  // nothing was there before
                Fail("closing it failed", err);
            }
            return true;
        }
        if (errno == EEXIST) return false;
        BecomeNamed(errno);
    }
    CloseFile();
    int result = calls_.rename(folder_, temp_.c_str(), folder_, name_.c_str(), RENAME_NOREPLACE);
    if (result != 0 && Unsupported(errno)) {
        // This file system cannot rename without replacing: a second name,
        // which fails where the target is, then the first one goes.
        result = calls_.link(folder_, temp_.c_str(), folder_, name_.c_str(), 0);
        if (result != 0 && CannotLink(errno)) return ClaimAndRename();
        if (result == 0) calls_.unlink(folder_, temp_.c_str(), 0);
    }
    if (result != 0) {
        if (errno == EEXIST) return false;
        Fail(kNotNamed, errno);
    }
    ForgetTemp();
    return true;
}

// Claims the target's name with an empty file, made only where nothing has
// that name (false otherwise), and renames the list over it. Signals wait
// meanwhile, so that the claim is removed if, and only if, it is no list.
bool ReplacingFile::ClaimAndRename() {
    const SignalHold hold;
    RecordPendingName(folder_, name_);
    const int claim =
        calls_.openat(folder_, name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (claim < 0) {
        const int err = errno;
        ForgetPendingName(folder_, name_);
        if (err == EEXIST) return false;
        Fail(kNotNamed, err);
    }
    claimed_ = true;
    calls_.close(claim);
    if (calls_.rename(folder_, temp_.c_str(), folder_, name_.c_str(), 0) != 0) {
        Fail(kNotNamed, errno);
    }
    claimed_ = false;
    ForgetPendingName(folder_, name_);
    ForgetTemp();
    return true;
}

// Renames the file over the target; an unnamed file first gets a hidden name.
void ReplacingFile::NameReplacing() {
    if (unnamed_) {
        if (MakeHiddenName([this](const char* name) { return LinkUnnamed(name); }) < 0) {
            BecomeNamed(errno);
        }
        unnamed_ = false;
    }
    if (fd_ >= 0) CloseFile();
    if (calls_.rename(folder_, temp_.c_str(), folder_, name_.c_str(), 0) != 0) {
        Fail("it could not be replaced", errno);
    }
    ForgetTemp();
}

void ReplacingFile::CloseFile() {
    if (calls_.close(std::exchange(fd_, -1)) != 0) Fail("closing it failed", errno);
}

void ReplacingFile::ForgetTemp() {
    ForgetPendingName(folder_, temp_);
    temp_.clear();
}

// Makes the new name itself durable. A folder this user cannot read cannot be
// synced, and some file systems sync no folders (EINVAL, ENOTSUP); the list is
// in place all the same.
void ReplacingFile::SyncFolder() {
    const int folder = calls_.openat(folder_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    Discard();
    if (folder < 0) return;
    const int err = calls_.syncFolder(folder) == 0 ? 0 : errno;
    calls_.close(folder);
    if (err != 0 && err != EINVAL && err != EOPNOTSUPP) {
        throw WriteFailure(CannotWrite(target_) +
                           "the list was written, but storing its name on disk failed (" +
                           SystemErrorText(err) + "); it may not survive a crash.");
    }
}

void ReplacingFile::Fail(const std::string& what, int err) {
    Discard();
    throw WriteFailure(CannotWrite(target_) + what + " (" + SystemErrorText(err) + ").");
}

void ReplacingFile::Discard() {
    if (fd_ >= 0) calls_.close(std::exchange(fd_, -1));
    if (claimed_) {
        calls_.unlink(folder_, name_.c_str(), 0);
        ForgetPendingName(folder_, name_);
        claimed_ = false;
    }
    if (!temp_.empty()) {
        calls_.unlink(folder_, temp_.c_str(), 0);
        ForgetTemp();
    }
    if (folder_ >= 0) calls_.close(std::exchange(folder_, -1));
}

}  // namespace doze
