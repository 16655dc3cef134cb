// SPDX-License-Identifier: MIT
#include "output/safe_file.h"

#include <fcntl.h>
#include <sys/random.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <optional>
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

// A file system that has no such call, or none for this kind of file.
bool Unsupported(int err) {
    return err == EINVAL || err == ENOSYS || err == EOPNOTSUPP;
}

// A file system without hard links (FAT, many network shares and FUSE
// mounts), or, for an unnamed file, no /proc and no right to link by descriptor.
bool CannotLink(int err) {
    return err == EPERM || err == ENOENT || err == EOPNOTSUPP || err == ENOSYS;
}

[[noreturn]] void CannotCreate(const std::string& target, const SystemError& error) {
    throw WriteFailure(CannotWrite(target) + kCannotCreate + " (" + SystemErrorText(error.code) +
                       ").");
}

// The folder of the file a write to a target lands in, open, and that file's
// name there.
struct OpenedTarget {
    UniqueFd folder;
    std::string name;
    std::optional<struct stat> existing;  // what is there now: a regular file
};

// Opens the folder a write to `target` lands in. Throws for a link that may
// not be followed, a target that is no regular file and a folder that cannot
// be opened.
OpenedTarget OpenTarget(const std::string& target, const FileCalls& calls) {
    const std::string resolved = ResolveWriteTarget(target, calls);
    UniqueFd folder(calls.openFolder(FolderOf(resolved).c_str()), calls.close);
    if (!folder) CannotCreate(target, LastError("open"));
    OpenedTarget opened{std::move(folder), BaseName(resolved), std::nullopt};
    struct stat st {};
    if (calls.stat(opened.folder.Get(), opened.name.c_str(), &st, 0) != 0) return opened;
    if (!S_ISREG(st.st_mode)) {
        throw WriteFailure(CannotWrite(target) +
                           (S_ISDIR(st.st_mode) ? "it is a folder." : "it is not a regular file."));
    }
    opened.existing = st;
    return opened;
}

}  // namespace

void CheckWritable(const std::string& target, const FileCalls& calls) {
    const OpenedTarget opened = OpenTarget(target, calls);
    if (calls.access(opened.folder.Get(), ".", W_OK | X_OK, AT_EACCESS) != 0) {
        CannotCreate(target, LastError("access"));
    }
}

ReplacingFile::ReplacingFile(std::string targetPath, const FileCalls& calls, ReplaceConsent consent)
    : target_(std::move(targetPath)), calls_(calls), consent_(std::move(consent)) {
    // Whatever fails on the way, out of memory included, leaves nothing behind.
    try {
        Prepare();
    } catch (...) {
        Discard();
        throw;
    }
}

void ReplacingFile::Prepare() {
    OpenedTarget opened = OpenTarget(target_, calls_);
    folder_ = std::move(opened.folder);
    name_ = std::move(opened.name);
    const std::optional<struct stat>& existing = opened.existing;
    mode_ = existing ? existing->st_mode & 07777 : 0666 & ~CurrentUmask();
    if (existing && (existing->st_uid != ::geteuid() || existing->st_gid != ::getegid())) {
        owner_ = existing->st_uid;
        group_ = existing->st_gid;
    }
    replace_ = existing && !consent_;
    fd_ = UniqueFd(calls_.openUnnamed(folder_.Get(), mode_ & 0777), calls_.close);
    unnamed_ = static_cast<bool>(fd_);
    if (!unnamed_) {
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            Fail(kCannotCreate, LastError("open"));
        }
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
        [[maybe_unused]] const int ignored = calls_.fchown(fd_.Get(), owner_, group_);
    }
    // A file system without permissions (FAT) refuses; its files have the
    // mode it gives them.
    if (calls_.fchmod(fd_.Get(), mode_) != 0 && !Unsupported(errno) && errno != EPERM) {
        Fail("cannot set its permissions", LastError("fchmod"));
    }
}

// Makes a hidden temporary name in the folder with `make`; the name is
// recorded for removal on a signal before it exists, and forgotten again
// when `make` fails or throws.
Result<void> ReplacingFile::MakeHiddenName(const std::function<Result<void>(const char*)>& make) {
    const SignalHold hold;
    Result<void> made = SystemError{EEXIST, {}, "make a hidden name"};
    for (int attempt = 0; attempt < kNameAttempts && !made && made.Error().code == EEXIST;
         ++attempt) {
        std::string name = HiddenName();
        RecordPendingName(folder_.Get(), name);
        try {
            made = make(name.c_str());
        } catch (...) {
            ForgetPendingName(folder_.Get(), name);
            throw;
        }
        if (made) {
            temp_ = std::move(name);
            return made;
        }
        ForgetPendingName(folder_.Get(), name);
    }
    return made;
}

UniqueFd ReplacingFile::MakeHiddenFile() {
    UniqueFd file;
    const Result<void> made = MakeHiddenName([this, &file](const char* name) -> Result<void> {
        file = UniqueFd(calls_.openat(folder_.Get(), name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                                      mode_ & 0777),
                        calls_.close);
        if (!file) return LastError("open", name);
        return {};
    });
    if (!made) Fail(kCannotCreate, made.Error());
    return file;
}

// Links the unnamed file as `name`: through /proc, else by its descriptor.
Result<void> ReplacingFile::LinkUnnamed(const char* name) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd_.Get());
    if (calls_.link(AT_FDCWD, self.c_str(), folder_.Get(), name, AT_SYMLINK_FOLLOW) == 0) return {};
    if (errno != ENOENT) return LastError("link", name);
    if (calls_.link(fd_.Get(), "", folder_.Get(), name, AT_EMPTY_PATH) == 0) return {};
    return LastError("link", name);
}

// The unnamed file could not be linked (`cause`): where that is for want of
// links, its bytes move to a hidden temporary file, which takes its place.
void ReplacingFile::BecomeNamed(const SystemError& cause) {
    if (!CannotLink(cause.code)) Fail(kNotNamed, cause);
    UniqueFd unnamed = std::exchange(fd_, MakeHiddenFile());
    unnamed_ = false;
    std::string buffer(1 << 16, '\0');
    Result<void> copied;
    for (off_t at = 0; copied;) {
        const ssize_t got = calls_.pread(unnamed.Get(), buffer.data(), buffer.size(), at);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) copied = LastError("pread");
        if (got <= 0) break;
        copied =
            WriteFully(fd_.Get(), std::string_view(buffer).substr(0, static_cast<std::size_t>(got)),
                       calls_.write);
        at += got;
    }
    unnamed.Reset();
    if (!copied) Fail("writing failed", copied.Error());
    SetOwnerAndMode();
    if (calls_.fsync(fd_.Get()) != 0) Fail("storing it on disk failed", LastError("fsync"));
}

void ReplacingFile::Deliver(std::string_view bytes) {
    if (!fd_) throw WriteFailure(CannotWrite(target_) + "it is closed.");
    if (const Result<void> written = WriteFully(fd_.Get(), bytes, calls_.write); !written) {
        Fail("writing failed", written.Error());
    }
}

Committed ReplacingFile::Commit() {
    if (!fd_) throw WriteFailure(CannotWrite(target_) + "it is closed.");
    Flush();
    if (calls_.fsync(fd_.Get()) != 0) Fail("storing it on disk failed", LastError("fsync"));
    if (replace_ || !NameWithoutReplacing()) {
        if (consent_ && !consent_(target_)) {
            Discard();
            return Committed::TargetKept;
        }
        NameReplacing();
    }
    SyncFolder();
    return Committed::Stored;
}

// Gives the file the target's name unless something has that name by now;
// false then.
bool ReplacingFile::NameWithoutReplacing() {
    const int folder = folder_.Get();
    if (unnamed_) {
        const Result<void> linked = LinkUnnamed(name_.c_str());
        if (linked) {
            if (const Result<void> closed = fd_.Close(); !closed) {
                calls_.unlink(folder, name_.c_str(), 0);  // nothing was there before
                Fail("closing it failed", closed.Error());
            }
            return true;
        }
        if (linked.Error().code == EEXIST) return false;
        BecomeNamed(linked.Error());
    }
    CloseFile();
    int result = calls_.rename(folder, temp_.c_str(), folder, name_.c_str(), RENAME_NOREPLACE);
    if (result != 0 && Unsupported(errno)) {
        // This file system cannot rename without replacing: a second name,
        // which fails where the target is, then the first one goes.
        result = calls_.link(folder, temp_.c_str(), folder, name_.c_str(), 0);
        if (result != 0 && CannotLink(errno)) return ClaimAndRename();
        if (result == 0) calls_.unlink(folder, temp_.c_str(), 0);
    }
    if (result != 0) {
        if (errno == EEXIST) return false;
        Fail(kNotNamed, LastError("rename", name_));
    }
    ForgetTemp();
    return true;
}

// Claims the target's name with an empty file, made only where nothing has
// that name (false otherwise), and renames the list over it. Signals wait
// meanwhile, so that the claim is removed if, and only if, it is no list.
bool ReplacingFile::ClaimAndRename() {
    const int folder = folder_.Get();
    const SignalHold hold;
    RecordPendingName(folder, name_);
    UniqueFd claim(
        calls_.openat(folder, name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600),
        calls_.close);
    if (!claim) {
        const SystemError error = LastError("open", name_);
        ForgetPendingName(folder, name_);
        if (error.code == EEXIST) return false;
        Fail(kNotNamed, error);
    }
    claimed_ = true;
    claim.Reset();
    if (calls_.rename(folder, temp_.c_str(), folder, name_.c_str(), 0) != 0) {
        Fail(kNotNamed, LastError("rename", name_));
    }
    claimed_ = false;
    ForgetPendingName(folder, name_);
    ForgetTemp();
    return true;
}

// Renames the file over the target; an unnamed file first gets a hidden name.
void ReplacingFile::NameReplacing() {
    if (unnamed_) {
        const Result<void> linked =
            MakeHiddenName([this](const char* name) { return LinkUnnamed(name); });
        if (!linked) BecomeNamed(linked.Error());
        unnamed_ = false;
    }
    if (fd_) CloseFile();
    const int folder = folder_.Get();
    if (calls_.rename(folder, temp_.c_str(), folder, name_.c_str(), 0) != 0) {
        Fail("it could not be replaced", LastError("rename", name_));
    }
    ForgetTemp();
}

void ReplacingFile::CloseFile() {
    if (const Result<void> closed = fd_.Close(); !closed) Fail("closing it failed", closed.Error());
}

void ReplacingFile::ForgetTemp() {
    ForgetPendingName(folder_.Get(), temp_);
    temp_.clear();
}

// Makes the new name itself durable. A folder this user cannot read cannot be
// synced, and some file systems sync no folders (EINVAL, ENOTSUP); the list is
// in place all the same.
void ReplacingFile::SyncFolder() {
    UniqueFd folder(calls_.openat(folder_.Get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0),
                    calls_.close);
    Discard();
    if (!folder) return;
    const int err = calls_.syncFolder(folder.Get()) == 0 ? 0 : errno;
    folder.Reset();
    if (err != 0 && err != EINVAL && err != EOPNOTSUPP) {
        throw WriteFailure(CannotWrite(target_) +
                           "the list was written, but storing its name on disk failed (" +
                           SystemErrorText(err) + "); it may not survive a crash.");
    }
}

void ReplacingFile::Fail(const std::string& what, const SystemError& error) {
    Discard();
    throw WriteFailure(CannotWrite(target_) + what + " (" + SystemErrorText(error.code) + ").");
}

void ReplacingFile::Discard() {
    fd_.Reset();
    if (claimed_) {
        calls_.unlink(folder_.Get(), name_.c_str(), 0);
        ForgetPendingName(folder_.Get(), name_);
        claimed_ = false;
    }
    if (!temp_.empty()) {
        calls_.unlink(folder_.Get(), temp_.c_str(), 0);
        ForgetTemp();
    }
    folder_.Reset();
}

}  // namespace doze
