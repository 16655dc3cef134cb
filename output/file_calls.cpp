// SPDX-License-Identifier: MIT
#include "output/file_calls.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>  // renameat2

namespace doze {
namespace {

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

}  // namespace

const FileCalls& SystemFileCalls() {
    static const FileCalls calls{
        .openFolder = OpenFolder,
        .openUnnamed = OpenUnnamed,
        .openat = OpenAt,
        .stat = ::fstatat,
        .readlink = ::readlinkat,
        .access = ::faccessat,
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

}  // namespace doze
