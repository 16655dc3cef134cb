// SPDX-License-Identifier: MIT
#pragma once
#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>

namespace doze {

// The system calls a list's file is written with, so tests can make them
// fail: every one ReplacingFile and the look at its target make.
struct FileCalls {
    // The target's folder (O_PATH), opened without following a link on the way.
    int (*openFolder)(const char* path);
    // Opens an unnamed file (O_TMPFILE, for reading and writing) in the folder
    // open as the first argument; EOPNOTSUPP, EISDIR or EINVAL mean a hidden
    // temporary file instead.
    int (*openUnnamed)(int folder, mode_t mode);
    int (*openat)(int folder, const char* name, int flags, mode_t mode);
    int (*stat)(int folder, const char* name, struct stat* st, int flags);  // fstatat
    ssize_t (*readlink)(int folder, const char* name, char* buffer,
                        std::size_t size);                             // readlinkat
    int (*access)(int folder, const char* name, int mode, int flags);  // faccessat
    int (*fchown)(int, uid_t, gid_t);
    int (*fchmod)(int, mode_t);
    ssize_t (*write)(int, const void*, size_t);
    ssize_t (*pread)(int, void*, size_t, off_t);
    int (*fsync)(int);  // of the new file
    int (*close)(int);
    int (*link)(int, const char*, int, const char*, int);             // linkat
    int (*rename)(int, const char*, int, const char*, unsigned int);  // renameat2
    int (*unlink)(int, const char*, int);                             // unlinkat
    int (*syncFolder)(int);  // fsync of the target's folder once the name is given
};

// The real ones.
const FileCalls& SystemFileCalls();

}  // namespace doze
