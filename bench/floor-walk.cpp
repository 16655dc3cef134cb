// SPDX-License-Identifier: MIT
// The least a walk of a music tree must do: list every folder and read the
// length of every file whose name ends in ".mp3" (any case), on THREADS
// threads, and nothing else (no list is made, no path is checked, no order is
// kept). bench/run --floor times it beside dozedozovo-list and find, to show
// how fast any walker could be on this machine and disk. With --read it also
// opens each MP3 file and reads what a reader of its tags must read at the
// least: its first 4 KiB (an ID3v2 tag's head, the first frame) and its last
// 160 bytes (an ID3v1 tag, an APEv2 footer); bench/tags-bench times that
// beside dozedozovo-list --tags.
//
//   floor-walk TREE [THREADS] [--read]   prints the number of MP3 files and their bytes
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

std::mutex mutex;
std::condition_variable ready;
std::vector<std::string> todo;  // folders to list
int busy = 0;                   // threads listing a folder
std::atomic<long long> files{0}, bytes{0};
bool readFiles = false;

// Opens the file and reads its head and its tail; false when it is no regular file.
bool ReadHeadAndTail(int folder, const char* name, struct stat& st) {
    const int fd = openat(folder, name, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return false;
    char head[4096], tail[160];
    const bool regular = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (regular) {
        if (pread(fd, head, sizeof head, 0) < 0 ||
            pread(fd, tail, sizeof tail, std::max<off_t>(0, st.st_size - 160)) < 0) {
            std::perror(name);
        }
    }
    close(fd);
    return regular;
}

bool IsMp3(const char* name) {
    const std::size_t length = std::strlen(name);
    return length >= 4 && strcasecmp(name + length - 4, ".mp3") == 0;
}

void List(const std::string& path, std::vector<std::string>& subfolders) {
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return;
    DIR* dir = fdopendir(fd);
    if (dir == nullptr) {
        close(fd);
        return;
    }
    while (const dirent* d = readdir(dir)) {
        const char* name = d->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))) continue;
        if (d->d_type == DT_DIR) {
            subfolders.push_back(path + '/' + name);
        } else if (IsMp3(name)) {
            struct stat st {};
            if (readFiles ? ReadHeadAndTail(fd, name, st)
                          : fstatat(fd, name, &st, 0) == 0 && S_ISREG(st.st_mode)) {
                ++files;
                bytes += st.st_size;
            }
        }
    }
    closedir(dir);
}

void Work() {
    std::vector<std::string> subfolders;
    for (;;) {
        std::string path;
        {
            std::unique_lock<std::mutex> lock(mutex);
            ready.wait(lock, [] { return !todo.empty() || busy == 0; });
            if (todo.empty()) break;  // nothing left and nobody listing
            path = std::move(todo.back());
            todo.pop_back();
            ++busy;
        }
        subfolders.clear();
        List(path, subfolders);
        {
            std::lock_guard<std::mutex> lock(mutex);
            --busy;
            for (std::string& sub : subfolders) todo.push_back(std::move(sub));
        }
        ready.notify_all();
    }
    ready.notify_all();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: floor-walk TREE [THREADS] [--read]\n");
        return 2;
    }
    readFiles = argc > 3 && std::strcmp(argv[3], "--read") == 0;
    const int threads = argc > 2 ? std::max(1, std::atoi(argv[2])) : 8;
    todo.emplace_back(argv[1]);
    std::vector<std::thread> helpers;
    for (int i = 1; i < threads; ++i) helpers.emplace_back(Work);
    Work();
    for (std::thread& helper : helpers) helper.join();
    std::printf("%lld MP3 files, %lld bytes\n", files.load(), bytes.load());
    return 0;
}
