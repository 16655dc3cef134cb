// SPDX-License-Identifier: MIT
// A file system with the latency of a network share: it shows the folder
// tree SOURCE at MOUNTPOINT, read-only, and answers each lookup, getattr,
// opendir and readdir only after DELAY milliseconds, as a NAS reached over SMB
// or NFS answers each request after a round trip. Requests are served by many
// threads at once, and the kernel keeps no entry or attribute in its caches,
// so that every walk pays the latency for every request it makes.
//
//   latency-fs SOURCE MOUNTPOINT DELAY [FUSE OPTIONS]
//
// It stays in the foreground until the file system is unmounted
// (fusermount3 -u MOUNTPOINT). MOUNTPOINT/.round-trips (not listed) holds the
// number of requests answered so far. bench/run --latency builds and mounts it.
#define FUSE_USE_VERSION 31
#define _GNU_SOURCE

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <fuse.h>
#include <limits.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

// The file at the root that tells how many round trips were made so far,
// so that a benchmark can count the requests of each walk; it costs none.
static const char kCountFile[] = "/.round-trips";
static const char* source;
static struct timespec delay;
static unsigned long long waits;  // round trips made so far

// One round trip.
static void Wait(void) {
    __atomic_add_fetch(&waits, 1, __ATOMIC_RELAXED);
    struct timespec left = delay;
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

// The path below SOURCE; false when it does not fit.
static int Full(const char* path, char* out) {
    return snprintf(out, PATH_MAX, "%s%s", source, path) < PATH_MAX;
}

static void* Init(struct fuse_conn_info* conn, struct fuse_config* cfg) {
    cfg->entry_timeout = 0;
    cfg->attr_timeout = 0;
    cfg->negative_timeout = 0;
    cfg->use_ino = 1;  // the inode numbers of SOURCE, in stat and in listings
    conn->want &= ~(unsigned)FUSE_CAP_READDIRPLUS;
    return NULL;
}

// Also every lookup: the library answers one with this call.
static int GetAttr(const char* path, struct stat* st, struct fuse_file_info* fi) {
    if (strcmp(path, kCountFile) == 0) {
        memset(st, 0, sizeof *st);
        st->st_mode = S_IFREG | 0444;
        st->st_size = 32;
        return 0;
    }
    Wait();
    char full[PATH_MAX];
    if (fi != NULL) return fstat((int)fi->fh, st) == 0 ? 0 : -errno;
    if (!Full(path, full)) return -ENAMETOOLONG;
    return lstat(full, st) == 0 ? 0 : -errno;
}

static int ReadLink(const char* path, char* buf, size_t size) {
    char full[PATH_MAX];
    if (!Full(path, full)) return -ENAMETOOLONG;
    const ssize_t n = readlink(full, buf, size - 1);
    if (n < 0) return -errno;
    buf[n] = '\0';
    return 0;
}

static int OpenDir(const char* path, struct fuse_file_info* fi) {
    Wait();
    char full[PATH_MAX];
    if (!Full(path, full)) return -ENAMETOOLONG;
    DIR* dir = opendir(full);
    if (dir == NULL) return -errno;
    fi->fh = (uint64_t)(uintptr_t)dir;
    return 0;
}

// The whole listing at once: the library hands it out to the kernel's reads.
static int ReadDir(const char* path, void* buf, fuse_fill_dir_t fill, off_t offset,
                   struct fuse_file_info* fi, enum fuse_readdir_flags flags) {
    (void)path;
    (void)offset;
    (void)flags;
    Wait();
    DIR* dir = (DIR*)(uintptr_t)fi->fh;
    rewinddir(dir);
    errno = 0;
    for (struct dirent* d; (d = readdir(dir)) != NULL;) {
        struct stat st;
        memset(&st, 0, sizeof st);
        st.st_ino = d->d_ino;
        st.st_mode = (mode_t)(DTTOIF(d->d_type));
        if (fill(buf, d->d_name, &st, 0, 0) != 0) break;
    }
    return -errno;
}

static int ReleaseDir(const char* path, struct fuse_file_info* fi) {
    (void)path;
    closedir((DIR*)(uintptr_t)fi->fh);
    return 0;
}

static int Open(const char* path, struct fuse_file_info* fi) {
    if (strcmp(path, kCountFile) == 0) {
        fi->fh = (uint64_t)-1;
        fi->direct_io = 1;
        return 0;
    }
    char full[PATH_MAX];
    if (!Full(path, full)) return -ENAMETOOLONG;
    if ((fi->flags & O_ACCMODE) != O_RDONLY) return -EROFS;
    const int fd = open(full, fi->flags);
    if (fd < 0) return -errno;
    fi->fh = (uint64_t)fd;
    return 0;
}

static int Read(const char* path, char* buf, size_t size, off_t offset, struct fuse_file_info* fi) {
    if (fi->fh == (uint64_t)-1) {
        char count[32];
        const int n =
            snprintf(count, sizeof count, "%llu\n", __atomic_load_n(&waits, __ATOMIC_RELAXED));
        if (offset >= n) return 0;
        const size_t left = (size_t)(n - offset);
        memcpy(buf, count + offset, size < left ? size : left);
        return (int)(size < left ? size : left);
    }
    (void)path;
    const ssize_t n = pread((int)fi->fh, buf, size, offset);
    return n < 0 ? -errno : (int)n;
}

static int Release(const char* path, struct fuse_file_info* fi) {
    (void)path;
    if (fi->fh != (uint64_t)-1) close((int)fi->fh);
    return 0;
}

static const struct fuse_operations kOperations = {
    .getattr = GetAttr,
    .readlink = ReadLink,
    .open = Open,
    .read = Read,
    .release = Release,
    .opendir = OpenDir,
    .readdir = ReadDir,
    .releasedir = ReleaseDir,
    .init = Init,
};

int main(int argc, char** argv) {
    if (argc < 4) {
        fprintf(stderr, "usage: latency-fs SOURCE MOUNTPOINT DELAY_MS [FUSE OPTIONS]\n");
        return 2;
    }
    static char real[PATH_MAX];
    if (realpath(argv[1], real) == NULL) {
        perror(argv[1]);
        return 2;
    }
    source = real;
    const double ms = strtod(argv[3], NULL);
    const long long ns = (long long)(ms * 1e6);
    delay.tv_sec = (time_t)(ns / 1000000000);
    delay.tv_nsec = (long)(ns % 1000000000);
    // Foreground, many threads, read-only; then what the caller adds.
    char* args[64] = {argv[0], argv[2], "-f", "-o", "ro,max_threads=256,max_idle_threads=256"};
    int n = 5;
    for (int i = 4; i < argc && n < 63; ++i) args[n++] = argv[i];
    return fuse_main(n, args, &kOperations, NULL);
}
