// SPDX-License-Identifier: MIT
#pragma once
#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>

namespace doze {

// The system calls a folder listing makes, so tests can make them fail or
// change the tree at a chosen moment. openat takes no mode: nothing is made.
struct ListingCalls {
    int (*openat)(int dirFd, const char* path, int flags);
    ssize_t (*getdents64)(int fd, void* buffer, std::size_t size);
    // Only st_dev, st_ino and st_mode are read: what an open folder is.
    int (*fstat)(int fd, struct stat* st);
    // With AT_SYMLINK_NOFOLLOW only st_dev, st_ino and st_mode are read (what
    // stands under a name); without it, a file's length.
    int (*fstatat)(int dirFd, const char* path, struct stat* st, int flags);
    int (*close)(int fd);
};

// The real ones.
const ListingCalls& SystemListingCalls();

}  // namespace doze
