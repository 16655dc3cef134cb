// SPDX-License-Identifier: MIT
#include "search/listing_calls.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>

namespace doze {
namespace {

// What stands at `path` below `dirFd` (the open file itself for an empty
// path), from the kernel's own knowledge of it once the name is looked up:
// the identity and the type of a file never change, so a network file system
// need not be asked for its attributes again.
int Identity(int dirFd, const char* path, struct stat* st, int flags) {
    struct statx x {};
    if (::statx(dirFd, path, flags | AT_STATX_DONT_SYNC, STATX_TYPE | STATX_INO, &x) != 0) {
        return errno == ENOSYS ? ::fstatat(dirFd, path, st, flags) : -1;
    }
    *st = {};
    st->st_dev = makedev(x.stx_dev_major, x.stx_dev_minor);
    st->st_ino = x.stx_ino;
    st->st_mode = x.stx_mode;
    return 0;
}

int FileIdentity(int fd, struct stat* st) {
    return Identity(fd, "", st, AT_EMPTY_PATH);
}

// A look at a name, links not followed, asks for its identity and type only;
// a length query asks the file system.
int LookOrQuery(int dirFd, const char* path, struct stat* st, int flags) {
    if ((flags & AT_SYMLINK_NOFOLLOW) != 0) return Identity(dirFd, path, st, flags);
    return ::fstatat(dirFd, path, st, flags);
}

}  // namespace

const ListingCalls& SystemListingCalls() {
    static const ListingCalls calls = {
        [](int dirFd, const char* path, int flags) { return ::openat(dirFd, path, flags); },
        [](int fd, void* buffer, std::size_t size) { return ::getdents64(fd, buffer, size); },
        FileIdentity,
        LookOrQuery,
        ::close,
    };
    return calls;
}

}  // namespace doze
