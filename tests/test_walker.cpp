// SPDX-License-Identifier: MIT
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

using doze::test::kCannot;
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

void PrintTo(const Outcome& o, std::ostream* out) {
    using ::testing::PrintToString;
    *out << PrintToString(o.entries) << ", count " << o.count << ", failure "
         << PrintToString(o.failure) << ", told " << PrintToString(o.reports);
}

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
const doze::ListingCalls kWaiting = {RealOpenat, WaitingGetdents, ::fstat, ::fstatat, ::close};

// What the injected listing calls do to the folder `target`: it is swapped
// for a link, a folder or a file before it is opened, its listing fails at
// once or later, or throws, or a helper (not the walk's thread) runs out of
// memory listing it, or the length of its x.mp3 cannot be read.
enum class Fault { ToLink, ToFolder, ToFile, ReadFails, LaterReadFails, Throws, HelperOut, Length };
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
    if (target && gInjected.fault <= Fault::ToFile && ::rename(t.c_str(), moved.c_str()) == 0) {
        if (gInjected.fault == Fault::ToLink) ::symlink(moved.c_str(), t.c_str());
        if (gInjected.fault == Fault::ToFolder) ::mkdir(t.c_str(), 0755);
        if (gInjected.fault == Fault::ToFile) ::close(::creat(t.c_str(), 0644));
    }
    const int fd = RealOpenat(dir, path, flags);
    if (target) gInjected.fd = fd;
    return fd;
}

ssize_t FailingGetdents(int fd, void* buffer, std::size_t size) {
    if (fd == gInjected.fd) {
        const int read = ++gInjected.reads;
        if (gInjected.fault == Fault::Throws) throw std::bad_alloc();
        if (gInjected.fault == Fault::HelperOut && std::this_thread::get_id() != gInjected.walk) {
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
int InjectedFstatat(int dir, const char* path, struct stat* st, int flags) {
    if (gInjected.fault == Fault::HelperOut && std::string(path) == "a.mp3") {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (gInjected.fault == Fault::Length && std::string(path) == "x.mp3" && flags == 0) {
        return errno = EIO, -1;
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
        "30 25 0:27 / /back\\134slash\\134 rw - proc proc rw\n"
        "garbage line\n";
    EXPECT_EQ(doze::ParsePseudoMounts(table),
              (doze::MountSet{"/proc", "/sys", "/sys/fs/cgroup", "/dev/pts", "/odd name",
                              "/back\\slash\\"}));
}

// A folder's names in the order the walk lays them down: bytes compared with
// ASCII letters (only those) folded to upper case, a shorter name before a
// longer one it begins, ties broken by the raw bytes; any bytes at all.
const Strings kNameOrder = {
    " leading.mp3", "\"q\" 's'.mp3",   "10.mp3",       "9.mp3",
    "A.mp3",        "a.MP3",           "a.mp3",        "a.mp3.mp3",
    "amp&<lt>.mp3", "a|b.mp3",         "b.mp3",        "back\\slash.mp3",
    "C.mp3",        "latin1 \xe9.mp3", "new\nl.mp3",   std::string(251, 'n') + ".mp3",
    "tab\t.mp3",    "trailing .mp3",   "za.mp3",       "Zb.mp3",
    "_z.mp3",       "~.mp3",           "\xc3\xa9.mp3", "\xe2\x99\xab.mp3",
    "\xff.mp3"};

TEST(ListingLess, OrdersEveryPairOfNamesAsTheWalkDoes) {
    for (std::size_t i = 0; i < kNameOrder.size(); ++i) {
        for (std::size_t j = 0; j < kNameOrder.size(); ++j) {
            EXPECT_EQ(doze::ListingLess(kNameOrder[i], kNameOrder[j]), i < j)
                << ::testing::PrintToString(kNameOrder[i]) << " against "
                << ::testing::PrintToString(kNameOrder[j]);
        }
    }
}

// Names reach the list unchanged, whatever bytes they hold.
TEST(SearchFolder, LaysEntriesDownDepthFirstFilesFirstInFoldedNameOrder) {
    TempTree t;
    Strings expected;
    for (const std::string& name : kNameOrder) {
        t.File(name, 1);
        expected.push_back(name + "|1");
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
    EXPECT_CHILD_SAYS_NOTHING([&]() -> std::string {
        if (!doze::test::EnterOwnMountNamespace() || !bind("/proc", "music/proc") ||
            !bind(t.Path("music"), "music/again")) {
            return std::string(kCannot) + "no mount namespace for a bind mount";
        }
        const Strings found = Found(t.Path("way"));
        return found == Strings{"a.mp3|1", t.Path("way/again")} ? ""
                                                                : ::testing::PrintToString(found);
    });
}

TEST(SearchFolder, DeepTreeNeedsNeitherStackNorDescriptorsNorShortPaths) {
    TempTree t;
    // 2,100 levels: 8,400 bytes of path, three pieces of what one system call
    // takes. A child makes each level from the one above and takes them down.
    EXPECT_CHILD_SAYS_NOTHING([&]() -> std::string {
        std::string deepest = t.Root(), wrong;
        int levels = 0;
        if (::chdir(deepest.c_str()) != 0) return "no way into the tree";
        for (; levels < 2100 && ::mkdir("ddd", 0755) == 0 && ::chdir("ddd") == 0; ++levels) {
            deepest += "/ddd";
        }
        ::close(::creat("deep.mp3", 0644));
        // 16 descriptors are enough: each folder is opened from the top. With
        // more, each one is opened below the folders above it, kept open.
        for (const rlim_t most : {rlim_t{1024}, rlim_t{16}}) {
            const rlimit files{most, most};
            ::setrlimit(RLIMIT_NOFILE, &files);
            const Strings found = Found(t.Root());
            if (found.size() != 2101 || found[2099] != deepest || found.back() != "deep.mp3|0") {
                wrong += std::to_string(most) + " descriptors: " + std::to_string(found.size()) +
                         " entries, the last " + (found.empty() ? "" : found.back()) + ". ";
            }
        }
        bool removed = ::unlink("deep.mp3") == 0;
        for (int level = levels; level > 0 && removed; --level) {
            removed = ::chdir("..") == 0 && ::rmdir("ddd") == 0;
        }
        return levels != 2100 ? "only " + std::to_string(levels) + " levels made"
                              : wrong + (removed ? "" : "not taken down");
    });
}

TEST(SearchFolder, WhatCannotBeReadIsToldInWalkOrderOrEndsTheSearch) {
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
    const std::string length = "Cannot read the length of \"" + target + "/x.mp3\": " + eio + ".";
    struct Case {
        Fault fault;
        std::string at;
        bool rootMustBeListed;
        Outcome expected;
    };
    const Case cases[] = {
        {Fault::ToLink, target, false, {cut, 4, "", {{target, changed}}}},
        {Fault::ToFolder, target, false, {cut, 4, "", {{target, changed}}}},
        {Fault::ToFile, target, false, {cut, 4, "", {{target, changed}}}},
        {Fault::LaterReadFails, target, false, {all, 7, "", {{target, inPart}}}},
        {Fault::ReadFails, target, false, {cut, 4, "", {{target, eio}}}},
        {Fault::LaterReadFails, r, true, {all, 7, "", {{r, inPart}}}},
        {Fault::ReadFails, r, false, {{}, 0, "", {{r, eio}}}},
        {Fault::ReadFails, r, true, {{}, 0, "Cannot list \"" + r + "\": " + eio + ".", {}}},
        // Whichever thread runs out of memory there, the walk gets there too.
        {Fault::Throws, target, false, {{"a.mp3|1", target}, 2, "bad_alloc", {}}},
        // A helper that does ends, and the walk lists the folder itself.
        {Fault::HelperOut, target, false, {all, 7, "", {}}},
        // A device error on a file's length ends the search, after what came before.
        {Fault::Length, target, false, {{"a.mp3|1", target}, 2, length, {}}},
    };
    const doze::ListingCalls injected = {SwappingOpenat, FailingGetdents, ::fstat, InjectedFstatat,
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
            if (c.fault == Fault::HelperOut) {
                EXPECT_EQ(gInjected.helpersOut.exchange(0) > 0, threads > 1) << threads;
            }
            // Put back what was swapped.
            if (::rmdir(target.c_str()) != 0) ::unlink(target.c_str());
            ::rename((target + ".moved").c_str(), target.c_str());
        }
    }
}

// 70 files in 36 albums of 9 artists, some with a folder without music, as
// one thread finds them.
class Albums : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        tree_ = new TempTree;
        for (int i = 0; i < 70; ++i) {
            const std::string album =
                "Artist " + std::to_string(i % 9) + "/" + std::to_string(i % 4);
            tree_->File(album + "/" + std::to_string(i * 37 % 101) + (i % 3 ? ".mp3" : ".MP3"),
                        i * 999);
            if (i % 5 == 0) tree_->Folder(album + "/CD " + std::to_string(i));
        }
        ::chmod(tree_->Root().c_str(), 0755);
        whole_ = SearchWith(tree_->Root(), {});
    }
    static void TearDownTestSuite() { delete std::exchange(tree_, nullptr); }

    static inline TempTree* tree_ = nullptr;
    static inline Outcome whole_;
};

// A list that fills up anywhere ends the same way with more threads, at the
// same entry, the count already raised for the entry that did not fit.
TEST_F(Albums, MoreThreadsGiveTheSameListAndTheSameEndWhenItIsFull) {
    ASSERT_GT(whole_.count, 40);
    EXPECT_EQ(whole_.failure, "");
    for (std::int32_t slots : {1, 2, 5, 17, whole_.count - 1, whole_.count, 1'000'000}) {
        const Outcome one = SearchWith(tree_->Root(), {.slots = slots});
        EXPECT_EQ(one.failure.empty(), slots >= whole_.count) << slots << " places";
        EXPECT_EQ(one.count, std::min(slots + 1, whole_.count)) << slots << " places";
        for (int threads : {2, 4, doze::kMostSearchThreads}) {
            EXPECT_EQ(SearchWith(tree_->Root(), {.threads = threads, .slots = slots}), one)
                << threads << " threads, " << slots << " places";
        }
    }
}

// Listings that wait, as on a cold disk, bring more threads in than the
// walk's own and the two it starts with.
TEST_F(Albums, ListingsThatWaitBringMoreThreadsIn) {
    gCrowd.seen.clear();
    EXPECT_EQ(SearchWith(tree_->Root(), {.threads = doze::kMostSearchThreads, .calls = &kWaiting}),
              whole_);
    EXPECT_GT(gCrowd.seen.size(), 3u) << "threads that listed folders";
}

// With one descriptor free, threads that find none leave their folder to the walk.
TEST_F(Albums, HelpersThatFindNoDescriptorLeaveTheirFolderToTheWalk) {
    EXPECT_CHILD_SAYS_NOTHING([&]() -> std::string {
        const int free = ::dup(0);
        ::close(free);
        rlimit one{static_cast<rlim_t>(free) + 1, static_cast<rlim_t>(free) + 1};
        ::setrlimit(RLIMIT_NOFILE, &one);
        gCrowd.seen.clear();  // each listing holds its descriptor a while
        const Outcome found =
            SearchWith(tree_->Root(), {.threads = doze::kMostSearchThreads, .calls = &kWaiting});
        if (gOutOfDescriptors == 0) return "no thread ran out of descriptors";
        return found == whole_ ? "" : ::testing::PrintToString(found);
    });
}

TEST_F(Albums, ThreadsThatCannotBeStartedAreDoneWithout) {
    EXPECT_CHILD_SAYS_NOTHING([&]() -> std::string {
        rlimit none{0, 0};
        if (!doze::test::DropToOrdinaryUser() || ::setrlimit(RLIMIT_NPROC, &none) != 0) {
            return std::string(kCannot) + "no user whose threads can be limited";
        }
        try {
            std::thread([] {}).join();
            return std::string(kCannot) + "threads can be started without limit";
        } catch (const std::system_error&) {
        }
        const Outcome found = SearchWith(tree_->Root(), {.threads = doze::kMostSearchThreads});
        return found == whole_ ? "" : ::testing::PrintToString(found);
    });
}

// The found-file list takes a million entries, one by one or in one batch,
// and fails at the next one with the count raised for it.
TEST(FoundList, TakesExactlyAMillionEntries) {
    for (const bool batched : {false, true}) {
        doze::SearchState state;
        doze::SearchParams params;
        doze::BeginRun(state, params);
        doze::EntryBatch batch;
        std::string failure;
        try {
            for (int i = 0; i <= 1'000'000; ++i) {
                batched ? batch.Add("a.mp3|1") : doze::AppendEntry(state, "a.mp3|1");
            }
            doze::AppendEntries(state, batch);
        } catch (const doze::SearchFailure& full) {
            failure = full.what();
        }
        EXPECT_EQ(std::make_pair(state.FoundList.Stored(), state.FoundCount),
                  std::make_pair(1'000'000, 1'000'001))
            << (batched ? "in one batch" : "one by one");
        EXPECT_EQ(failure,
                  "The found-file list is full: entry 1000001 does not fit into its "
                  "1000000 places.");
    }
}

}  // namespace
