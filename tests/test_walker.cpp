#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "search/errors.h"
#include "search/mount_table.h"
#include "search/pattern.h"
#include "search/walker.h"
#include "test_support/child.h"
#include "test_support/temp_tree.h"

namespace {

using doze::test::InChild;
using doze::test::TempTree;
using Strings = std::vector<std::string>;
using Reports = std::vector<std::pair<std::string, std::string>>;

// Remembers the folders it is told could not be listed, and the files
// (their causes marked "file: ").
class NotListedRecorder : public doze::SearchProgress {
  public:
    void FolderNotListed(const std::string& path, const std::string& cause) override {
        reports.emplace_back(path, cause);
    }
    void FileNotRead(const std::string& path, const std::string& cause) override {
        reports.emplace_back(path, "file: " + cause);
    }
    Reports reports;
};

// What a search gave: the entries stored, the count reached, what it threw
// ("" for nothing), the folders it could not list.
struct Outcome {
    Strings entries;
    std::int32_t count;
    std::string failure;
    Reports reports;
    bool operator==(const Outcome&) const = default;
};

// How to search: threads, places in the list, mounts passed over...
struct Walk {
    int threads = 1;
    std::int32_t slots = 1'000'000;
    doze::MountSet skip{};
    bool rootMustBeListed = false;
    const doze::ListingCalls* calls = &doze::SystemListingCalls();
};

Outcome SearchWith(const std::string& root, const Walk& walk) {
    doze::SearchState state;
    doze::SearchParams params;
    state.SearchRoot = root;
    doze::BeginRun(state, params);
    state.FoundList.Dimension(walk.slots);
    NotListedRecorder recorder;
    std::string failure;
    try {
        doze::SearchFolder(params, state, walk.skip, &recorder, walk.threads, walk.rootMustBeListed,
                           *walk.calls);
    } catch (const doze::SearchFailure& thrown) {
        failure = thrown.what();
    } catch (const std::bad_alloc&) {
        failure = "bad_alloc";
    }
    Strings entries;
    for (std::int32_t i = 1; i <= state.FoundList.Stored(); ++i) {
        entries.emplace_back(state.FoundList[i]);
    }
    return {entries, state.FoundCount, failure, recorder.reports};
}

// The entries of a search of `root` the way a run makes it.
Strings Found(const std::string& root) {
    return SearchWith(root, {.threads = doze::kMostSearchThreads, .skip = doze::LoadPseudoMounts()})
        .entries;
}

std::atomic<int> gOutOfDescriptors{0};

int RealOpenat(int dir, const char* path, int flags) {
    const int fd = ::openat(dir, path, flags);
    if (fd < 0 && errno == EMFILE) ++gOutOfDescriptors;
    return fd;
}

// Each listing waits for a fourth thread to come along (10 ms at most), as
// listings waiting on a disk would.
struct {
    std::mutex mutex;
    std::condition_variable came;
    std::set<std::thread::id> seen;
} gCrowd;

ssize_t WaitingGetdents(int fd, void* buffer, std::size_t size) {
    std::unique_lock<std::mutex> lock(gCrowd.mutex);
    gCrowd.seen.insert(std::this_thread::get_id());
    gCrowd.came.notify_all();
    gCrowd.came.wait_for(lock, std::chrono::milliseconds(10),
                         [] { return gCrowd.seen.size() > 3; });
    lock.unlock();
    return ::getdents64(fd, buffer, size);
}

// What the injected listing calls do to the folder `target`. HelperRunsOut:
// a thread other than the walk's runs out of memory listing it.
enum class Fault {
    SwapForLink,
    SwapForFolder,
    SwapForFile,
    ReadFails,
    LaterReadFails,
    Throws,
    HelperRunsOut
};
struct {
    std::string target;
    Fault fault;
    std::atomic<int> fd{-1};
    std::atomic<int> reads{0};
    std::thread::id walk;
    std::atomic<int> helpersOut{0};
} gInjected;

// The path `path` names when it is opened below the folder `dir`.
std::string FullPath(int dir, const char* path) {
    if (dir == AT_FDCWD || path[0] == '/') return path;
    char folder[4096] = {};
    const std::string link = "/proc/self/fd/" + std::to_string(dir);
    const ssize_t length = ::readlink(link.c_str(), folder, sizeof folder - 1);
    return std::string(folder, static_cast<std::size_t>(std::max<ssize_t>(length, 0))) + "/" + path;
}

// Opening the target swaps it first for something else (its folder moved
// aside), between its parent's listing and its own opening.
int SwappingOpenat(int dir, const char* path, int flags) {
    const std::string& t = gInjected.target;
    const bool target = FullPath(dir, path) == t;
    const std::string moved = t + ".moved";
    if (target && gInjected.fault <= Fault::SwapForFile &&
        ::rename(t.c_str(), moved.c_str()) == 0) {
        if (gInjected.fault == Fault::SwapForLink) ::symlink(moved.c_str(), t.c_str());
        if (gInjected.fault == Fault::SwapForFolder) ::mkdir(t.c_str(), 0755);
        if (gInjected.fault == Fault::SwapForFile) ::close(::creat(t.c_str(), 0644));
    }
    const int fd = RealOpenat(dir, path, flags);
    if (target) gInjected.fd = fd;
    return fd;
}

ssize_t FailingGetdents(int fd, void* buffer, std::size_t size) {
    if (fd == gInjected.fd) {
        const int read = ++gInjected.reads;
        if (gInjected.fault == Fault::Throws) throw std::bad_alloc();
        if (gInjected.fault == Fault::HelperRunsOut &&
            std::this_thread::get_id() != gInjected.walk) {
            ++gInjected.helpersOut;
            throw std::bad_alloc();
        }
        if ((gInjected.fault == Fault::ReadFails && read == 1) ||
            (gInjected.fault == Fault::LaterReadFails && read == 2)) {
            errno = EIO;
            return -1;
        }
    }
    return ::getdents64(fd, buffer, size);
}

// The walk's thread takes its time over the root's file, so that a helper
// lists the target first.
int SlowFstatat(int dir, const char* path, struct stat* st, int flags) {
    if (gInjected.fault == Fault::HelperRunsOut && std::string(path) == "a.mp3") {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return ::fstatat(dir, path, st, flags);
}

int ForgettingClose(int fd) {
    if (fd == gInjected.fd) gInjected.fd = -1;
    return ::close(fd);
}

// The search's pattern, "*.mp3": whole names, byte for byte, ASCII letters folded.
TEST(MatchesPattern, MatchesWholeNamesByteForByteFoldingAsciiLetters) {
    for (const char* name : {"song.mp3", "LIVE.MP3", "Mixed.Mp3", ".mp3", "a.mp3.mp3",
                             "tab\there.mp3", "caf\xc3\xa9.mp3", "\xff\xfe.MP3"}) {
        EXPECT_TRUE(doze::MatchesPattern(name, "*.mp3")) << name;
    }
    for (const char* name : {"x.mp3.bak", "mp3", "song.mp4", "a.mp\xc3\xa9", ".mp33"}) {
        EXPECT_FALSE(doze::MatchesPattern(name, "*.mp3")) << name;
    }
}

TEST(ParsePseudoMounts, PicksThePseudoFileSystemsOnly) {
    const char* table =
        "22 1 0:21 / /proc rw,nosuid shared:5 - proc proc rw\n"
        "23 1 0:22 / /sys rw,nosuid shared:6 - sysfs sysfs rw\n"
        "24 23 0:23 / /sys/fs/cgroup rw - cgroup2 cgroup2 rw\n"
        "25 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
        "26 1 0:24 / /dev/pts rw - devpts devpts rw\n"
        "27 25 8:2 / /home/my\\040music rw - ext4 /dev/sda2 rw\n"
        "28 25 0:25 / /odd\\040name rw master:1 - debugfs none rw\n"
        "29 25 0:26 / /run rw - tmpfs tmpfs rw\n"
        "garbage line\n";
    EXPECT_EQ(doze::ParsePseudoMounts(table),
              (doze::MountSet{"/proc", "/sys", "/sys/fs/cgroup", "/dev/pts", "/odd name"}));
}

// Names reach the list unchanged, whatever bytes they hold.
TEST(SearchFolder, LaysEntriesDownDepthFirstFilesFirstInFoldedNameOrder) {
    TempTree t;
    EXPECT_TRUE(Found(t.Root()).empty());
    const std::string longest = std::string(251, 'n') + ".mp3";
    for (const char* name : {"b.mp3", "C.mp3", "a.MP3", "A.mp3", "_z.mp3", "9.mp3", "\xc3\xa9.mp3",
                             "a|b.mp3", "back\\slash.mp3", "amp&<lt>.mp3", "\"q\" 's'.mp3",
                             "new\nl.mp3", "tab\t.mp3", " leading.mp3", "trailing .mp3",
                             "\xe2\x99\xab.mp3", "latin1 \xe9.mp3", "10.mp3", longest.c_str()}) {
        t.File(name, 1);
    }
    t.File("Live/1999/concert.mp3", 5000000);
    t.File("Live/1999/encore.MP3", 1572863);
    t.File("beta/riff.mp3", 2621440);
    t.File("beta/big.mp3", 5LL << 30);  // 5 GiB, sparse: its real size
    t.File("beta/empty.mp3", 0);
    t.Folder("beta/Demos");  // folders without music keep their entries
    t.File("beta/cover.jpg", 10);
    t.Folder("gamma");
    t.File("sub|dir\\x/in\xff.mp3", 2);
    const std::string r = t.Root();
    Strings expected;
    for (const char* name : {" leading.mp3", "\"q\" 's'.mp3", "10.mp3", "9.mp3", "A.mp3", "a.MP3",
                             "amp&<lt>.mp3", "a|b.mp3", "b.mp3", "back\\slash.mp3", "C.mp3",
                             "latin1 \xe9.mp3", "new\nl.mp3", longest.c_str(), "tab\t.mp3",
                             "trailing .mp3", "_z.mp3", "\xc3\xa9.mp3", "\xe2\x99\xab.mp3"}) {
        expected.push_back(std::string(name) + "|1");
    }
    for (const std::string entry :  // "~" stands for the root
         {"~/beta", "big.mp3|5368709120", "empty.mp3|0", "riff.mp3|2621440", "~/beta/Demos",
          "~/gamma", "~/Live", "~/Live/1999", "concert.mp3|5000000", "encore.MP3|1572863",
          "~/sub|dir\\x", "in\xff.mp3|2"}) {
        expected.push_back(entry[0] == '~' ? r + entry.substr(1) : entry);
    }
    EXPECT_EQ(Found(r), expected);
    EXPECT_EQ(Found(r + "/"), expected);  // one separator between the parts
}

// Links are followed to regular files; a link that leads nowhere is left out
// and told, and so is one the user may not follow; a device error ends the search.
TEST(CollectFolderFiles, CollectsOnlyRegularFilesFollowingLinks) {
    TempTree t;
    t.File("real.mp3", 2048);
    t.File("hidden/.secret.mp3", 7);
    t.Folder("Album.mp3");  // a folder named like music is walked, never collected
    t.File("Album.mp3/inside.mp3", 3);
    t.Link("link.mp3", "real.mp3");  // a link to a file: its own name, target's size
    t.Link("dangling.mp3", "nowhere.mp3");
    t.Link("loop1.mp3", "loop2.mp3");
    t.Link("loop2.mp3", "loop1.mp3");
    t.Link("through.mp3", "real.mp3/x");
    t.Link("long.mp3", std::string(300, 'a'));  // a target name no file system takes
    t.Link("dirlink.mp3", "hidden");            // a link to a folder: neither walked nor listed
    t.Link("dirlink", "hidden");
    ASSERT_EQ(::mkfifo(t.Path("pipe.mp3").c_str(), 0644), 0);  // never opened, never listed
    const std::string r = t.Root();
    const Outcome found = SearchWith(r, {});
    EXPECT_EQ(found.entries, (Strings{"link.mp3|2048", "real.mp3|2048", r + "/Album.mp3",
                                      "inside.mp3|3", r + "/hidden", ".secret.mp3|7"}));
    EXPECT_EQ(found.failure, "");
    EXPECT_EQ(found.reports, (Reports{{r + "/dangling.mp3", "file: No such file or directory"},
                                      {r + "/long.mp3", "file: File name too long"},
                                      {r + "/loop1.mp3", "file: Too many levels of symbolic links"},
                                      {r + "/loop2.mp3", "file: Too many levels of symbolic links"},
                                      {r + "/through.mp3", "file: Not a directory"}}));
    t.File("shut/song.mp3", 1);
    ::chmod(t.Path("shut").c_str(), 0744);  // listed, but its files cannot be looked at
    ::chmod(t.Root().c_str(), 0755);
    const int asUser = InChild([&] {
        if (!doze::test::DropToOrdinaryUser()) return doze::test::kSkipped;
        const Outcome shut = SearchWith(t.Path("shut"), {});
        return shut.entries.empty() && shut.failure.empty() &&
                       shut.reports == Reports{{t.Path("shut/song.mp3"), "file: Permission denied"}}
                   ? 1
                   : 0;
    });
    if (asUser == doze::test::kSkipped) GTEST_SKIP() << "no ordinary user to become";
    EXPECT_EQ(asUser, 1) << "a file the user may not look at is left out and told";
}

int DeviceErrorFstatat(int dir, const char* path, struct stat* st, int flags) {
    if (std::string_view(path) == "bad.mp3" && flags == 0) {
        errno = EIO;
        return -1;
    }
    return ::fstatat(dir, path, st, flags);
}

TEST(CollectFolderFiles, ADeviceErrorEndsTheSearch) {
    TempTree t;
    t.File("a.mp3", 1);
    t.File("bad.mp3", 1);
    t.File("c.mp3", 1);
    const doze::ListingCalls calls = {RealOpenat, ::getdents64, ::fstat, DeviceErrorFstatat,
                                      ::close};
    const Outcome found = SearchWith(t.Root(), {.calls = &calls});
    EXPECT_EQ(found.entries, Strings{"a.mp3|1"});
    EXPECT_EQ(found.failure,
              "Cannot read the length of \"" + t.Path("bad.mp3") + "\": Input/output error.");
}

TEST(SearchFolder, PseudoFileSystemMountsAreSkippedAndFoldersNotEnteredTwice) {
    TempTree t;
    t.File("proc/fake.mp3", 1);
    t.File("music/a.mp3", 1);
    EXPECT_EQ(SearchWith(t.Root(), {.slots = 10, .skip = {t.Path("proc")}}).entries,
              (Strings{t.Path("music"), "a.mp3|1"}));
    // In a mount namespace of a child, through a link: the real /proc mounted
    // once more, known by its device, and a folder bound inside itself.
    t.Folder("music/again");
    t.Folder("music/proc");
    t.Link("way", "music");
    const auto bind = [&](const std::string& from, const char* at) {
        return ::mount(from.c_str(), t.Path(at).c_str(), nullptr, MS_BIND, nullptr) == 0;
    };
    const int result = InChild([&] {
        if (!doze::test::EnterOwnMountNamespace() || !bind("/proc", "music/proc") ||
            !bind(t.Path("music"), "music/again")) {
            return doze::test::kSkipped;
        }
        return Found(t.Path("way")) == Strings{"a.mp3|1", t.Path("way/again")} ? 0 : 1;
    });
    if (result == doze::test::kSkipped) GTEST_SKIP() << "no mount namespace for a bind mount here";
    EXPECT_EQ(result, 0);
}

TEST(SearchFolder, DeepTreeNeedsNeitherStackNorDescriptorsNorShortPaths) {
    TempTree t;
    // 2,100 levels: 4,200 bytes of path, more than one system call takes. A
    // child makes each level from the one above and takes them down again.
    const int result = InChild([&] {
        std::string deepest = t.Root();
        int levels = 0;
        if (::chdir(deepest.c_str()) != 0) return 2;
        for (; levels < 2100 && ::mkdir("d", 0755) == 0 && ::chdir("d") == 0; ++levels) {
            deepest += "/d";
        }
        ::close(::creat("deep.mp3", 0644));
        // 16 descriptors are enough: each folder is opened from the top. With
        // more, each one is opened below the folders above it, kept open.
        bool listed = true;
        for (const rlim_t most : {rlim_t{1024}, rlim_t{16}}) {
            const rlimit files{most, most};
            ::setrlimit(RLIMIT_NOFILE, &files);
            const Strings found = Found(t.Root());
            listed = listed && found.size() == 2101 && found[2099] == deepest &&
                     found.back() == "deep.mp3|0";
        }
        bool removed = ::unlink("deep.mp3") == 0;
        for (int level = levels; level > 0 && removed; --level) {
            removed = ::chdir("..") == 0 && ::rmdir("d") == 0;
        }
        return levels == 2100 && listed && removed ? 0 : 1;
    });
    EXPECT_EQ(result, 0);
}

TEST(SearchFolder, UnreadableFolderKeepsItsEntryAndTheWalkGoesOn) {
    TempTree t;
    t.File("a/ok.mp3", 1);
    t.File("b/locked/inside.mp3", 1);
    t.File("c/ok.mp3", 2);
    ASSERT_EQ(::chmod(t.Path("b/locked").c_str(), 0), 0);
    ::chmod(t.Root().c_str(), 0755);
    const std::string r = t.Root();
    const Strings entries = {r + "/a", "ok.mp3|1", r + "/b", r + "/b/locked", r + "/c", "ok.mp3|2"};
    const Outcome expected{entries, 6, "", {{r + "/b/locked", "Permission denied"}}};
    // Root reads everything: walk as an ordinary user in a child.
    const int result = InChild([&] {
        return doze::test::DropToOrdinaryUser() && SearchWith(r, {.threads = 2}) == expected ? 0
                                                                                             : 1;
    });
    EXPECT_EQ(result, 0);
}

TEST(SearchFolder, FoldersThatCannotBeListedWhollyAreToldInWalkOrder) {
    TempTree t;
    t.File("a.mp3", 1);
    t.File("target/x.mp3", 2);
    t.File("target/inner/y.mp3", 3);
    t.File("zz/z.mp3", 4);
    const std::string r = t.Root(), target = t.Path("target");
    const Strings all = {"a.mp3|1", target,    "x.mp3|2", target + "/inner",
                         "y.mp3|3", r + "/zz", "z.mp3|4"};
    const Strings cut = {"a.mp3|1", target, r + "/zz", "z.mp3|4"};
    const std::string changed = "it changed during the search", eio = "Input/output error";
    const std::string inPart = "it could be read only in part (" + eio + ")";
    struct Case {
        Fault fault;
        std::string at;
        bool rootMustBeListed;
        Outcome expected;
    };
    const Case cases[] = {
        {Fault::SwapForLink, target, false, {cut, 4, "", {{target, changed}}}},
        {Fault::SwapForFolder, target, false, {cut, 4, "", {{target, changed}}}},
        {Fault::SwapForFile, target, false, {cut, 4, "", {{target, changed}}}},
        {Fault::LaterReadFails, target, false, {all, 7, "", {{target, inPart}}}},
        {Fault::ReadFails, target, false, {cut, 4, "", {{target, eio}}}},
        {Fault::LaterReadFails, r, true, {all, 7, "", {{r, inPart}}}},
        {Fault::ReadFails, r, false, {{}, 0, "", {{r, eio}}}},
        {Fault::ReadFails, r, true, {{}, 0, "Cannot list \"" + r + "\": " + eio + ".", {}}},
        // Whichever thread runs out of memory there, the walk gets there too.
        {Fault::Throws, target, false, {{"a.mp3|1", target}, 2, "bad_alloc", {}}},
        // A helper that does ends, and the walk lists the folder itself.
        {Fault::HelperRunsOut, target, false, {all, 7, "", {}}},
    };
    const doze::ListingCalls injected = {SwappingOpenat, FailingGetdents, ::fstat, SlowFstatat,
                                         ForgettingClose};
    gInjected.walk = std::this_thread::get_id();
    for (const Case& c : cases) {
        for (int threads : {1, doze::kMostSearchThreads}) {
            gInjected.target = c.at;
            gInjected.fault = c.fault;
            gInjected.reads = 0;
            const Walk walk{threads, 1'000'000, {}, c.rootMustBeListed, &injected};
            EXPECT_EQ(SearchWith(r, walk), c.expected)
                << static_cast<int>(c.fault) << " at " << c.at;
            if (c.fault == Fault::HelperRunsOut) {
                EXPECT_EQ(gInjected.helpersOut.exchange(0) > 0, threads > 1) << threads;
            }
            // Put back what was swapped.
            if (::rmdir(target.c_str()) != 0) ::unlink(target.c_str());
            ::rename((target + ".moved").c_str(), target.c_str());
        }
    }
}

TEST(SearchFolder, MoreThreadsGiveTheSameListAndTheSameEndWhenItIsFull) {
    TempTree t;
    for (int i = 0; i < 70; ++i) {
        const std::string album = "Artist " + std::to_string(i % 9) + "/" + std::to_string(i % 4);
        t.File(album + "/" + std::to_string(i * 37 % 101) + (i % 3 ? ".mp3" : ".MP3"), i * 999);
        if (i % 5 == 0) t.Folder(album + "/CD " + std::to_string(i));  // no music in it
    }
    const std::string r = t.Root();
    const Outcome whole = SearchWith(r, {});
    ASSERT_GT(whole.count, 40);
    EXPECT_EQ(whole.failure, "");
    // A list that fills up anywhere ends the same way with more threads, at
    // the same entry, the count already raised for the entry that did not fit.
    for (std::int32_t slots : {1, 2, 5, 17, whole.count - 1, whole.count, 1'000'000}) {
        const Outcome one = SearchWith(r, {.slots = slots});
        EXPECT_EQ(one.failure.empty(), slots >= whole.count);
        EXPECT_EQ(one.count, std::min(slots + 1, whole.count));
        for (int threads : {2, 4, doze::kMostSearchThreads}) {
            EXPECT_EQ(SearchWith(r, {.threads = threads, .slots = slots}), one)
                << threads << " threads, " << slots << " places";
        }
    }
    // Listings that wait, as on a cold disk, bring more threads in than the
    // walk's own and the two it starts with.
    const doze::ListingCalls waiting = {RealOpenat, WaitingGetdents, ::fstat, ::fstatat, ::close};
    EXPECT_EQ(SearchWith(r, {.threads = doze::kMostSearchThreads, .calls = &waiting}), whole);
    EXPECT_GT(gCrowd.seen.size(), 3u);
    // With one descriptor free, threads that find none leave their folder to the walk.
    const int result = InChild([&] {
        const int free = ::dup(0);
        ::close(free);
        rlimit one{static_cast<rlim_t>(free) + 1, static_cast<rlim_t>(free) + 1};
        ::setrlimit(RLIMIT_NOFILE, &one);
        gCrowd.seen.clear();  // each listing holds its descriptor a while
        const Outcome found =
            SearchWith(r, {.threads = doze::kMostSearchThreads, .calls = &waiting});
        return found == whole && gOutOfDescriptors > 0 ? 0 : 1;
    });
    EXPECT_EQ(result, 0);
    // Threads that cannot be started are done without.
    ::chmod(r.c_str(), 0755);
    const int limited = InChild([&] {
        rlimit none{0, 0};
        if (!doze::test::DropToOrdinaryUser() || ::setrlimit(RLIMIT_NPROC, &none) != 0) {
            return doze::test::kSkipped;
        }
        try {
            std::thread([] {}).join();
            return doze::test::kSkipped;
        } catch (const std::system_error&) {
        }
        return SearchWith(r, {.threads = doze::kMostSearchThreads}) == whole ? 0 : 1;
    });
    if (limited == doze::test::kSkipped)
        GTEST_SKIP() << "threads can be started without limit here";
    EXPECT_EQ(limited, 0);
}

}  // namespace
