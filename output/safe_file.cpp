#include "output/safe_file.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>

#include "output/pending_names.h"
#include "output/write_failure.h"

namespace doze {
namespace {

constexpr int kNameAttempts = 100;

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
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
                             static_cast<unsigned long>(::getpid()) ^ ::random();
        for (unsigned char& byte : random) byte = static_cast<unsigned char>(seed >>= 5);
    }
    std::string name = ".dozedozovo-";
    for (const unsigned char byte : random) name += kLetters[byte % (sizeof kLetters - 1)];
    return name;
}

int OpenUnnamed(int folder, mode_t mode) {
    return ::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
}

}  // namespace

const FileCalls& SystemFileCalls() {
    static const FileCalls calls{::write,  ::fsync,     ::close, OpenUnnamed,
                                 ::linkat, ::renameat2, ::fsync};
    return calls;
}

ReplacingFile::ReplacingFile(std::string targetPath, const FileCalls& calls, ReplaceConsent consent)
    : target_(std::move(targetPath)), calls_(calls), consent_(std::move(consent)) {
    resolved_ = ResolveWriteTarget(target_);
    name_ = BaseName(resolved_);
    struct stat st {};
    mode_t mode = 0666 & ~CurrentUmask();
    const bool exists = ::stat(resolved_.c_str(), &st) == 0;
    if (exists) {
        if (!S_ISREG(st.st_mode)) {
            throw WriteFailure(
                "Cannot write \"" + target_ +
                "\": " + (S_ISDIR(st.st_mode) ? "it is a folder." : "it is not a regular file."));
        }
        mode = st.st_mode & 07777;
    }
    replace_ = exists && !consent_;
    folder_ = ::open(FolderOf(resolved_).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (folder_ < 0) Fail("cannot create a file in its folder", errno);
    fd_ = calls_.openUnnamed(folder_, 0600);
    unnamed_ = fd_ >= 0;
    if (!unnamed_) {
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            Fail("cannot create a file in its folder", errno);
        }
        // No unnamed files here: a hidden one, removed again on failure or signal.
        fd_ = MakeHiddenName(
            [this](const char* name) {
                return ::openat(folder_, name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            },
            "cannot create a file in its folder");
    }
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

// Makes a hidden temporary name in the folder with `make`, which returns a
// negative number and sets errno on failure; the name is recorded for removal
// on a signal before it exists. Returns what `make` returned.
int ReplacingFile::MakeHiddenName(const std::function<int(const char*)>& make, const char* what) {
    const SignalHold hold;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string name = HiddenName();
        RecordPendingName(folder_, name);
        const int result = make(name.c_str());
        if (result >= 0) {
            temp_ = std::move(name);
            return result;
        }
        const int err = errno;
        ForgetPendingName(folder_, name);
        if (err != EEXIST) Fail(what, err);
    }
    Fail(what, EEXIST);
}

int ReplacingFile::LinkUnnamed(const char* name) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd_);
    return calls_.link(AT_FDCWD, self.c_str(), folder_, name, AT_SYMLINK_FOLLOW);
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
    if (!unnamed_) CloseFile();
    if (replace_ || !NameWithoutReplacing()) {
        if (consent_ && !consent_(target_)) {
            Discard();
            throw TargetAppeared("Cannot write \"" + target_ + "\": the file exists.");
        }
        NameReplacing();
    }
    SyncFolder();
}

// Gives the file the target's name unless something has that name by now;
// false then.
bool ReplacingFile::NameWithoutReplacing() {
    int result;
    if (unnamed_) {
        result = LinkUnnamed(name_.c_str());
    } else {
        result = calls_.rename(folder_, temp_.c_str(), folder_, name_.c_str(), RENAME_NOREPLACE);
        if (result != 0 && (errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP)) {
            // This file system cannot rename without replacing: a second
            // name, which fails where the target is, then the first one goes.
            result = calls_.link(folder_, temp_.c_str(), folder_, name_.c_str(), 0);
            if (result == 0) ::unlinkat(folder_, temp_.c_str(), 0);
        }
    }
    if (result != 0) {
        if (errno == EEXIST) return false;
        Fail("it could not be stored under its name", errno);
    }
    if (!unnamed_) {
        ForgetPendingName(folder_, temp_);
        temp_.clear();
    } else if (calls_.close(fd_) != 0) {
        const int err = errno;
        fd_ = -1;
        ::unlinkat(folder_, name_.c_str(), 0);  // nothing was there before
        Fail("closing it failed", err);
    }
    fd_ = -1;
    return true;
}

// Renames the file over the target; an unnamed file first gets a hidden name.
void ReplacingFile::NameReplacing() {
    if (unnamed_) {
        MakeHiddenName([this](const char* name) { return LinkUnnamed(name); },
                       "it could not be stored under its name");
        CloseFile();
    }
    if (calls_.rename(folder_, temp_.c_str(), folder_, name_.c_str(), 0) != 0) {
        Fail("it could not be replaced", errno);
    }
    ForgetPendingName(folder_, temp_);
    temp_.clear();
}

void ReplacingFile::CloseFile() {
    const int fd = fd_;
    fd_ = -1;
    if (calls_.close(fd) != 0) Fail("closing it failed", errno);
}

// Makes the new name itself durable. A folder this user cannot read cannot be
// synced; the list is in place all the same.
void ReplacingFile::SyncFolder() {
    const int folder = ::openat(folder_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    Discard();
    if (folder < 0) return;
    const int err = calls_.syncFolder(folder) == 0 ? 0 : errno;
    ::close(folder);
    if (err != 0) {
        throw WriteFailure("Cannot write \"" + target_ +
                           "\": the list was written, but storing its name on disk failed (" +
                           SystemErrorText(err) + "); it may not survive a crash.");
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
    if (!temp_.empty()) {
        ::unlinkat(folder_, temp_.c_str(), 0);
        ForgetPendingName(folder_, temp_);
        temp_.clear();
    }
    if (folder_ >= 0) {
        ::close(folder_);
        folder_ = -1;
    }
}

}  // namespace doze
