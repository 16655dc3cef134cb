#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "search/errors.h"
#include "search/walker.h"
#include "test_support/child.h"
#include "test_support/temp_tree.h"

namespace {

using doze::test::InChild;
using doze::test::SearchEntries;
using doze::test::TempTree;
using Strings = std::vector<std::string>;

// Makes `levels` nested folders named `segment` below `root`, from inside, the
// only way to build a path longer than the system takes in one piece.
void MakeNested(const std::string& root, const std::string& segment, int levels) {
    ASSERT_EQ(::chdir(root.c_str()), 0);
    for (int i = 0; i < levels; ++i) {
        ASSERT_EQ(::mkdir(segment.c_str(), 0755), 0);
        ASSERT_EQ(::chdir(segment.c_str()), 0);
    }
    ASSERT_EQ(::chdir("/"), 0);
}

// A search by `threads` threads into a list of `slots` places, `skip` passed
// over: the entries stored, the count reached, whether it ended in a failure.
struct Outcome {
    Strings entries;
    std::int32_t count;
    bool failed;
    bool operator==(const Outcome&) const = default;
};

Outcome SearchWith(const std::string& root, int threads, std::int32_t slots,
                   const doze::MountSet& skip = {}) {
    doze::SearchState state;
    doze::SearchParams params;
    state.SearchRoot = root;
    doze::BeginRun(state, params);
    state.FoundList.Dimension(slots);
    bool failed = false;
    try {
        doze::SearchFolder(params, state, skip, nullptr, threads);
    } catch (const doze::SearchFailure&) {
        failed = true;
    }
    return {doze::test::Entries(state.FoundList), state.FoundCount, failed};
}

TEST(SearchFolder, LaysEntriesDownDepthFirstFilesBeforeSubfolders) {
    TempTree t;
    t.File("intro.mp3", 3670016);
    t.File("Live/1999/concert.mp3", 5000000);
    t.File("Live/1999/encore.MP3", 1572863);
    t.File("Rock/riff.mp3", 2621440);
    t.Folder("Rock/Demos");
    t.File("Rock/cover.jpg", 10);
    const std::string r = t.Root();
    const Strings expected = {"intro.mp3|3670016",   r + "/Live",          r + "/Live/1999",
                              "concert.mp3|5000000", "encore.MP3|1572863", r + "/Rock",
                              "riff.mp3|2621440",    r + "/Rock/Demos"};
    EXPECT_EQ(SearchEntries(r), expected);
    EXPECT_EQ(SearchEntries(r + "/"), expected);  // one separator between the parts
}

TEST(SearchFolder, ListsEachFolderInFoldedNameOrder) {
    TempTree t;
    for (const char* name : {"b.mp3", "C.mp3", "a.MP3", "A.mp3", "_z.mp3", "9.mp3"}) {
        t.File(name, 1);
    }
    t.File("10.mp3", 5LL << 30);  // 5 GiB, sparse: its real size
    t.File("empty.mp3", 0);
    for (const char* name : {"beta", "Alpha", "gamma"}) t.Folder(name);
    const std::string r = t.Root();
    EXPECT_EQ(SearchEntries(r),
              (Strings{"10.mp3|5368709120", "9.mp3|1", "A.mp3|1", "a.MP3|1", "b.mp3|1", "C.mp3|1",
                       "empty.mp3|0", "_z.mp3|1", r + "/Alpha", r + "/beta", r + "/gamma"}));
}

TEST(SearchFolder, FoldersWithoutMusicGiveFolderEntriesOnly) {
    TempTree t;
    EXPECT_TRUE(SearchEntries(t.Root()).empty());
    t.Folder("a/b");
    t.Folder("c");
    t.File("a/notes.txt", 5);
    const std::string r = t.Root();
    EXPECT_EQ(SearchEntries(r), (Strings{r + "/a", r + "/a/b", r + "/c"}));
}

TEST(CollectFolderFiles, CollectsOnlyRegularFilesFollowingLinks) {
    TempTree t;
    t.File("real.mp3", 2048);
    t.File("hidden/.secret.mp3", 7);
    t.Folder("Album.mp3");  // a folder named like music is walked, never collected
    t.File("Album.mp3/inside.mp3", 3);
    t.Link("link.mp3", "real.mp3");         // a link to a file: its own name, target's size
    t.Link("dangling.mp3", "nowhere.mp3");  // resolves nowhere: passed over
    t.Link("loop1.mp3", "loop2.mp3");
    t.Link("loop2.mp3", "loop1.mp3");     // a loop: passed over
    t.Link("through.mp3", "real.mp3/x");  // through a file: passed over
    t.Link("dirlink.mp3", "hidden");      // a link to a folder: neither walked nor listed
    t.Link("dirlink", "hidden");
    ASSERT_EQ(::mkfifo(t.Path("pipe.mp3").c_str(), 0644), 0);  // never opened, never listed
    const std::string r = t.Root();
    EXPECT_EQ(SearchEntries(r), (Strings{"link.mp3|2048", "real.mp3|2048", r + "/Album.mp3",
                                         "inside.mp3|3", r + "/hidden", ".secret.mp3|7"}));
}

TEST(CollectFolderFiles, HostileNamesReachTheListUnchanged) {
    TempTree t;
    Strings names = {"a|b.mp3",          "back\\slash.mp3", "amp&<lt>.mp3", "\"q\" 's'.mp3",
                     "new\nl.mp3",       "tab\t.mp3",       " leading.mp3", "trailing .mp3",
                     "\xe2\x99\xab.mp3", "latin1 \xe9.mp3"};
    names.push_back(std::string(251, 'n') + ".mp3");  // the longest name there is
    for (const std::string& name : names) t.File(name, 1);
    t.File("sub|dir\\x/in\xff.mp3", 2);
    const Strings found = SearchEntries(t.Root());
    ASSERT_EQ(found.size(), names.size() + 2);
    for (const std::string& name : names) {
        EXPECT_NE(std::find(found.begin(), found.end(), name + "|1"), found.end()) << name;
    }
    EXPECT_EQ(found[found.size() - 2], t.Root() + "/sub|dir\\x");
    EXPECT_EQ(found.back(), "in\xff.mp3|2");
}

TEST(SearchFolder, PseudoFileSystemMountsAreSkippedWithoutEntry) {
    TempTree t;
    t.File("proc/fake.mp3", 1);
    t.File("music/a.mp3", 1);
    EXPECT_EQ(SearchWith(t.Root(), 1, 10, {t.Path("proc")}).entries,
              (Strings{t.Path("music"), "a.mp3|1"}));
}

TEST(SearchFolder, DeepTreeNeedsNeitherStackNorDescriptors) {
    TempTree t;
    std::string relative = "d";
    for (int i = 1; i < 2000; ++i) relative += "/d";  // 2,000 levels, 4,000 bytes of path
    MakeNested(t.Root(), "d", 2000);
    t.File(relative + "/deep.mp3", 9);
    const int result = InChild([&] {  // 16 descriptors are enough
        rlimit files{16, 16};
        ::setrlimit(RLIMIT_NOFILE, &files);
        const Strings found = SearchEntries(t.Root());
        return found.size() == 2001 && found[1999] == t.Path(relative) ? 0 : 1;
    });
    EXPECT_EQ(result, 0);
}

TEST(SearchFolder, PathTooLongKeepsItsEntryAndIsNotListed) {
    TempTree t;
    MakeNested(t.Root(), std::string(200, 'x'), 22);  // well past the path limit
    const Strings found = SearchEntries(t.Root());
    ASSERT_FALSE(found.empty());
    ASSERT_LT(found.size(), 22u);  // the walk stopped where the path became too long
    EXPECT_GT(found.back().size(), 4000u);
}

TEST(SearchFolder, UnreadableFolderKeepsItsEntryAndTheWalkGoesOn) {
    TempTree t;
    t.File("a/ok.mp3", 1);
    t.File("b/locked/inside.mp3", 1);
    t.File("c/ok.mp3", 2);
    ASSERT_EQ(::chmod(t.Path("b/locked").c_str(), 0), 0);
    ::chmod(t.Root().c_str(), 0755);
    const std::string r = t.Root();
    const Strings expected = {r + "/a",        "ok.mp3|1", r + "/b",
                              r + "/b/locked", r + "/c",   "ok.mp3|2"};
    // Root reads everything: walk as an ordinary user in a child.
    const int result = InChild(
        [&] { return doze::test::DropToOrdinaryUser() && SearchEntries(r) == expected ? 0 : 1; });
    EXPECT_EQ(result, 0);
}

TEST(SearchFolder, FolderMetAgainBelowItselfIsNotEnteredTwice) {
    TempTree t;
    t.File("music/a.mp3", 1);
    t.Folder("music/again");
    // A bind mount of a folder inside itself, in a mount namespace of a child.
    const int result = InChild([&] {
        if (!doze::test::EnterOwnMountNamespace() ||
            ::mount(t.Path("music").c_str(), t.Path("music/again").c_str(), nullptr, MS_BIND,
                    nullptr) != 0) {
            return doze::test::kSkipped;
        }
        return SearchEntries(t.Path("music")) == Strings{"a.mp3|1", t.Path("music/again")} ? 0 : 1;
    });
    if (result == doze::test::kSkipped) GTEST_SKIP() << "no mount namespace for a bind mount here";
    EXPECT_EQ(result, 0);
}

TEST(SearchFolder, MoreThreadsGiveTheSameListAndTheSameEndWhenItIsFull) {
    TempTree t;
    unsigned seed = 7;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 16) % 1000; };
    for (int artist = 0; artist < 12; ++artist) {
        for (int album = 0; album < 1 + static_cast<int>(next() % 4); ++album) {
            const std::string b = "Artist " + std::to_string(artist) + "/" + std::to_string(next());
            t.Folder(b);
            for (int track = 0; track < static_cast<int>(next() % 6); ++track) {
                t.File(b + "/" + std::to_string(next()) + (next() % 3 ? ".mp3" : ".MP3"), next());
            }
            if (next() % 3 == 0) t.Folder(b + "/CD " + std::to_string(next()));
        }
    }
    const Outcome whole = SearchWith(t.Root(), 1, 1'000'000);
    ASSERT_GT(whole.count, 40);
    EXPECT_FALSE(whole.failed);
    for (int threads : {2, 4}) {
        EXPECT_EQ(SearchWith(t.Root(), threads, 1'000'000), whole) << threads << " threads";
        // A list that fills up anywhere ends the same way, at the same entry, the
        // count already raised for the entry that did not fit.
        for (std::int32_t slots : {1, 2, 5, 17, whole.count - 1, whole.count}) {
            const Outcome one = SearchWith(t.Root(), 1, slots);
            EXPECT_EQ(one.failed, slots < whole.count);
            EXPECT_EQ(one.count, std::min(slots + 1, whole.count));
            EXPECT_EQ(SearchWith(t.Root(), threads, slots), one) << threads << "/" << slots;
        }
    }
}

}  // namespace
