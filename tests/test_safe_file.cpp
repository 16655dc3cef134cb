#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <set>
#include <string>

#include "output/list_writers.h"
#include "output/safe_file.h"
#include "output/write_failure.h"
#include "test_support/child.h"
#include "test_support/list_fixture.h"
#include "test_support/temp_tree.h"

namespace {

using doze::test::InChild;
using doze::test::kSkipped;
using doze::test::TempTree;

std::set<std::string> Names(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
        names.insert(e.path().filename().string());
    }
    return names;
}

void WriteAll(const std::string& path, const std::string& text,
              const doze::FileCalls& calls = doze::SystemFileCalls()) {
    doze::ReplacingFile file(path, calls);
    file.Write(text);
    file.Commit();
}

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0);
    return st.st_mode & 07777;
}

TEST(ReplacingFile, KeepsPermissionsOfAnOldFileAndGivesANewOneTheUsualMode) {
    TempTree t;
    t.File("old.txt", 10);
    ::chmod(t.Path("old.txt").c_str(), 0640);
    const mode_t mask = ::umask(022);
    WriteAll(t.Path("new.txt"), "hello");
    WriteAll(t.Path("old.txt"), "new");
    ::umask(mask);
    EXPECT_EQ(t.Read("new.txt"), "hello");
    EXPECT_EQ(t.Read("old.txt"), "new");
    EXPECT_EQ(ModeOf(t.Path("new.txt")), 0644u);
    EXPECT_EQ(ModeOf(t.Path("old.txt")), 0640u);
    EXPECT_EQ(Names(t.Root()), (std::set<std::string>{"new.txt", "old.txt"}));
}

TEST(ReplacingFile, ALinkIsWrittenThroughToTheFileItNames) {
    TempTree t;
    t.File("real/list.txt", 3);
    t.Folder("links");
    t.Link("links/list.txt", "../real/list.txt");
    WriteAll(t.Path("links/list.txt"), "through");
    EXPECT_TRUE(std::filesystem::is_symlink(t.Path("links/list.txt")));
    EXPECT_EQ(t.Read("real/list.txt"), "through");

    t.Link("dangling.txt", "made.txt");  // a link to nothing yet makes the file it names
    WriteAll(t.Path("dangling.txt"), "made");
    EXPECT_TRUE(std::filesystem::is_symlink(t.Path("dangling.txt")));
    EXPECT_EQ(t.Read("made.txt"), "made");
}

TEST(ReplacingFile, TargetsThatCannotBeReplacedAreRefusedUntouched) {
    TempTree t;
    ASSERT_EQ(::mkfifo(t.Path("fifo").c_str(), 0644), 0);
    t.Folder("folder");
    t.Link("loop", "loop");
    for (const char* name : {"fifo", "folder", "loop"}) {
        EXPECT_THROW(WriteAll(t.Path(name), "x"), doze::WriteFailure) << name;
    }
    EXPECT_TRUE(std::filesystem::is_fifo(t.Path("fifo")));
    EXPECT_EQ(Names(t.Root()), (std::set<std::string>{"fifo", "folder", "loop"}));
    try {
        WriteAll(t.Path("no/such/list.txt"), "x");
        FAIL() << "no failure";
    } catch (const doze::WriteFailure& failure) {
        EXPECT_NE(std::string(failure.what()).find(t.Path("no/such/list.txt") + "\": "),
                  std::string::npos)
            << failure.what();
    }
}

// Injected failures: each call in turn fails, the existing file must survive.
int Fail(int err) {
    errno = err;
    return -1;
}
ssize_t ShortThenFullWrite(int fd, const void* data, size_t size) {
    static bool first = true;
    if (!first) return Fail(ENOSPC);  // ... and then the disk is full
    first = false;
    return ::write(fd, data, size / 2);  // a short write ...
}

struct InjectedCase {
    const char* name;
    doze::FileCalls calls;
    const char* cause;
};

class InjectedFailure : public ::testing::TestWithParam<InjectedCase> {};

TEST_P(InjectedFailure, LeavesTheExistingFileIntactAndNoTemporary) {
    TempTree t;
    WriteAll(t.Path("list.txt"), "the old list");
    try {
        WriteAll(t.Path("list.txt"), std::string(100000, 'n'), GetParam().calls);
        FAIL() << "no failure reported";
    } catch (const doze::WriteFailure& failure) {
        EXPECT_NE(std::string(failure.what()).find(GetParam().cause), std::string::npos)
            << failure.what();
    }
    EXPECT_EQ(t.Read("list.txt"), "the old list");
    EXPECT_EQ(Names(t.Root()), (std::set<std::string>{"list.txt"}));
}

INSTANTIATE_TEST_SUITE_P(
    EachCall, InjectedFailure,
    ::testing::Values(
        InjectedCase{"write",
                     {[](int, const void*, size_t) -> ssize_t { return Fail(EIO); }, ::fsync,
                      ::close, ::rename},
                     "Input/output error"},
        InjectedCase{"short", {ShortThenFullWrite, ::fsync, ::close, ::rename}, "No space left"},
        InjectedCase{"fsync",
                     {::write, [](int) { return Fail(EIO); }, ::close, ::rename},
                     "Input/output error"},
        InjectedCase{"close",
                     {::write, ::fsync, [](int fd) { return ::close(fd), Fail(EIO); }, ::rename},
                     "Input/output error"},
        InjectedCase{
            "rename",
            {::write, ::fsync, ::close, [](const char*, const char*) { return Fail(EXDEV); }},
            "cross-device"}),
    [](const ::testing::TestParamInfo<InjectedCase>& info) { return info.param.name; });

// Writes a large text list over `path`; 0 when it failed cleanly.
int WriteListExpectingFailure(const std::string& path) {
    std::vector<std::string> entries;
    for (int i = 0; i < 5000; ++i) entries.push_back("track " + std::to_string(i) + ".mp3|1");
    const doze::EntryList list = doze::test::MakeList(entries);
    const doze::ListJob job{"/music", &list, "."};
    doze::test::RecordingReporter reporter;
    try {
        doze::WriteList(doze::ListFormat::Text, job, path, reporter);
    } catch (const doze::WriteFailure&) {
        return reporter.counts.empty() ? 0 : 2;
    }
    return 1;
}

TEST(ReplacingFile, AFileSizeLimitFailsTheWriteAndKeepsTheOldList) {
    TempTree t;
    WriteAll(t.Path("list.txt"), "old");
    const int result = InChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{4096, 4096};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return kSkipped;
        return WriteListExpectingFailure(t.Path("list.txt"));
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(t.Read("list.txt"), "old");
    EXPECT_EQ(Names(t.Root()), (std::set<std::string>{"list.txt"}));
}

TEST(ReplacingFile, AFullDiskFailsTheWriteAndKeepsTheOldList) {
    TempTree t;
    t.Folder("small");
    const int result = InChild([&] {
        if (!doze::test::EnterOwnMountNamespace() ||
            ::mount("tmpfs", t.Path("small").c_str(), "tmpfs", 0, "size=16k") != 0) {
            return kSkipped;
        }
        const std::string path = t.Path("small/list.txt");
        WriteAll(path, "old");
        const int failed = WriteListExpectingFailure(path);
        if (failed != 0) return 10 + failed;
        if (doze::test::ReadFile(path) != "old") return 20;
        if (Names(t.Path("small")) != std::set<std::string>{"list.txt"}) return 21;
        return 0;
    });
    if (result == kSkipped) GTEST_SKIP() << "no mount namespace for a small tmpfs here";
    EXPECT_EQ(result, 0);
}

}  // namespace
