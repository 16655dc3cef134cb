#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "output/list_run.h"
#include "output/safe_file.h"
#include "output/write_failure.h"
#include "test_support/child.h"
#include "test_support/temp_tree.h"

namespace {

namespace fs = std::filesystem;
using doze::RunOutcome;
using doze::test::InChild;
using doze::test::kSkipped;
using doze::test::TempTree;
using Names = std::set<std::string>;
using ::testing::IsSubstring;

Names NamesIn(const std::string& folder) {
    Names names;
    for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename());
    return names;
}

// Writes `text` to `path`; gives the failure's sentence, "" when there is none.
std::string WriteAll(const std::string& path, const std::string& text,
                     const doze::FileCalls& calls = doze::SystemFileCalls()) {
    try {
        doze::ReplacingFile file(path, calls);
        file.Write(text);
        file.Commit();
        return "";
    } catch (const doze::WriteFailure& failure) {
        return failure.what();
    }
}

// An old file keeps its permissions, a new one has the usual mode; what is
// not a file or cannot be one is refused, untouched.
TEST(ReplacingFile, WritesFilesWithTheirModesAndRefusesTheRest) {
    TempTree t;
    t.File("old.txt", 10);
    fs::permissions(t.Path("old.txt"), fs::perms(0604));
    const mode_t mask = ::umask(027);
    EXPECT_EQ(WriteAll(t.Path("new.txt"), "hello"), "");
    EXPECT_EQ(WriteAll(t.Path("old.txt"), "new"), "");
    ::umask(mask);
    EXPECT_EQ(t.Read("new.txt") + t.Read("old.txt"), "hellonew");
    EXPECT_EQ(fs::status(t.Path("new.txt")).permissions(), fs::perms(0640));
    EXPECT_EQ(fs::status(t.Path("old.txt")).permissions(), fs::perms(0604));
    ASSERT_EQ(::mkfifo(t.Path("fifo").c_str(), 0644), 0);
    t.Folder("folder");
    t.Link("loop", "loop");
    for (const char* name : {"fifo", "folder", "loop", "no/such/list.txt"}) {
        EXPECT_PRED_FORMAT2(IsSubstring, t.Path(name) + "\": ", WriteAll(t.Path(name), "x"));
    }
    EXPECT_TRUE(fs::is_fifo(t.Path("fifo")));
    EXPECT_EQ(NamesIn(t.Root()), (Names{"fifo", "folder", "loop", "new.txt", "old.txt"}));
}

// Names a table's rows by their `name`.
const auto kByName = [](const auto& info) { return std::string(info.param.name); };

// A link is written through to the file it names (made when it names none
// yet), except a link in a sticky, world-writable folder that belongs neither
// to this user nor to the folder's owner, wherever it stands in a chain.
constexpr uid_t kMe = static_cast<uid_t>(-1), kNobody = 65534;
struct LinkCase {
    const char* name;
    mode_t folderMode;
    uid_t folderOwner, linkOwner;
    const char* path;  // the link, or a link of this user's leading to it
    bool dangling;     // the file it names does not exist yet
    bool followed;
};

class LinkTarget : public ::testing::TestWithParam<LinkCase> {};

TEST_P(LinkTarget, IsFollowedOnlyWhereTheKernelWould) {
    const LinkCase& c = GetParam();
    if (::geteuid() != 0 && (c.folderOwner != kMe || c.linkOwner != kMe)) {
        GTEST_SKIP() << "giving a link to another user needs root";
    }
    TempTree t;
    if (!c.dangling) std::ofstream(t.Path("secret")) << "root only";
    t.Folder("shared");
    t.Link("shared/list.txt", "../secret");
    t.Link("list.txt", "shared/list.txt");
    ASSERT_EQ(::chown(t.Path("shared").c_str(), c.folderOwner, kMe) |
                  ::chmod(t.Path("shared").c_str(), c.folderMode) |
                  ::lchown(t.Path("shared/list.txt").c_str(), c.linkOwner, kMe),
              0);
    Names names = NamesIn(t.Root());
    const std::string failure = WriteAll(t.Path(c.path), "the list");
    if (c.followed) {
        EXPECT_EQ(failure, "");
        names.insert("secret");
    } else {
        EXPECT_PRED_FORMAT2(IsSubstring, "link in a shared folder that belongs to another user.",
                            failure);
    }
    EXPECT_EQ(t.Read("secret"), c.followed ? "the list" : c.dangling ? "" : "root only");
    EXPECT_EQ(NamesIn(t.Root()), names);
    EXPECT_EQ(NamesIn(t.Path("shared")), Names{"list.txt"});
}

INSTANTIATE_TEST_SUITE_P(
    Owners, LinkTarget,
    ::testing::Values(
        LinkCase{"plain_folder", 0755, kMe, kMe, "list.txt", false, true},
        LinkCase{"plain_folder_dangling", 0755, kMe, kMe, "shared/list.txt", true, true},
        LinkCase{"others_link", 01777, 0, kNobody, "shared/list.txt", false, false},
        LinkCase{"others_link_dangling", 01777, 0, kNobody, "shared/list.txt", true, false},
        LinkCase{"others_link_in_a_chain", 01777, 0, kNobody, "list.txt", false, false},
        LinkCase{"own_link", 01777, kMe, kMe, "shared/list.txt", false, true},
        LinkCase{"folder_owners_link", 01777, kNobody, kNobody, "list.txt", false, true},
        LinkCase{"not_sticky", 0777, 0, kNobody, "shared/list.txt", false, true},
        LinkCase{"not_world_writable", 01775, 0, kNobody, "list.txt", false, true}),
    kByName);

TEST(ReplacingFile, AFolderThatCannotBeReadForItsSyncIsWrittenAllTheSame) {
    TempTree t;
    t.Folder("dropbox");
    ::chmod(t.Root().c_str(), 0711);
    [[maybe_unused]] const int owned = ::chown(t.Path("dropbox").c_str(), kNobody, kNobody);
    ::chmod(t.Path("dropbox").c_str(), 0300);
    EXPECT_EQ(InChild([&] {
                  if (!doze::test::DropToOrdinaryUser()) return kSkipped;
                  return WriteAll(t.Path("dropbox/list.txt"), "the list").empty() ? 0 : 1;
              }),
              0);
    ::chmod(t.Path("dropbox").c_str(), 0700);
    EXPECT_EQ(t.Read("dropbox/list.txt"), "the list");
}

// The system's calls, but the one at gStep fails with gErr or raises
// gSignal first; `named` as on a file system without unnamed files. Every
// write stores only half of what it is given.
enum Step { kNoStep, kOpen, kWrite, kFsync, kClose, kLink, kRename, kSyncFolder, kNoReplace };
Step gStep = kNoStep;
int gErr = 0, gSignal = 0;
bool gNamed = false;

bool Hit(Step step) {
    if (gStep != step) return false;
    if (gSignal != 0) ::raise(gSignal);
    errno = gErr;
    return gErr != 0;
}

doze::FileCalls Calls(Step step, int err, int signal, bool named) {
    gStep = step, gErr = err, gSignal = signal, gNamed = named;
    doze::FileCalls c = doze::SystemFileCalls();
    c.openUnnamed = [](int folder, mode_t mode) {
        if (Hit(kOpen)) return -1;
        if (!gNamed) return doze::SystemFileCalls().openUnnamed(folder, mode);
        errno = EOPNOTSUPP;
        return -1;
    };
    c.write = [](int fd, const void* data, size_t size) -> ssize_t {
        return Hit(kWrite) ? -1 : ::write(fd, data, (size + 1) / 2);
    };
    c.fsync = [](int fd) { return Hit(kFsync) ? -1 : ::fsync(fd); };
    c.close = [](int fd) { return ::close(fd) != 0 || Hit(kClose) ? -1 : 0; };
    c.link = [](int from, const char* a, int to, const char* b, int flags) {
        return Hit(kLink) ? -1 : ::linkat(from, a, to, b, flags);
    };
    c.rename = [](int from, const char* a, int to, const char* b, unsigned flags) {
        const bool fails = Hit(kRename) || (flags != 0 && Hit(kNoReplace));
        return fails ? -1 : ::renameat2(from, a, to, b, flags);
    };
    c.syncFolder = [](int fd) { return Hit(kSyncFolder) ? -1 : ::fsync(fd); };
    return c;
}

// Each call in turn fails, or a signal ends the program there (in a child):
// the target stays as it was and no temporary file is left.
struct StepCase {
    Step step;
    int signal;  // 0: the call fails
    bool named;
    bool fresh;  // no list.txt before
};

std::vector<StepCase> StepCases() {
    std::vector<StepCase> cases;
    for (const int signal : {0, SIGINT, SIGTERM, SIGHUP, SIGKILL, SIGXFSZ}) {
        for (int step = kOpen; step <= kSyncFolder; ++step) {
            for (const bool named : {false, true}) {
                for (const bool fresh : {false, true}) {
                    // A named file is renamed, never linked; an unnamed one
                    // is renamed only when it replaces a file.
                    if (named ? step == kLink || step == kOpen : step == kRename && fresh) continue;
                    if (signal != 0 && (step == kOpen || step == kClose || step == kSyncFolder)) {
                        continue;
                    }
                    // Nothing removes a name after SIGKILL: neither a named
                    // temporary file nor the hidden name an unnamed one has
                    // just before its rename. Unnamed, nothing is left.
                    if (signal == SIGKILL && (named || step == kRename)) continue;
                    cases.push_back({static_cast<Step>(step), signal, named, fresh});
                }
            }
        }
    }
    return cases;
}

std::string StepCaseName(const ::testing::TestParamInfo<StepCase>& info) {
    static const char* const kSteps[] = {"",      "open", "write",  "fsync",
                                         "close", "link", "rename", "folder_sync"};
    const StepCase& c = info.param;
    return kSteps[c.step] + ("_" + std::string(c.signal != 0 ? sigabbrev_np(c.signal) : "fails")) +
           (c.named ? "_named" : "") + (c.fresh ? "_fresh" : "");
}

class Interrupted : public ::testing::TestWithParam<StepCase> {};

TEST_P(Interrupted, LeavesTheTargetAsItWasAndNoTemporary) {
    const StepCase& c = GetParam();
    TempTree t;
    if (!c.fresh) WriteAll(t.Path("list.txt"), "the old list");
    const std::string list(100000, 'n');
    const bool written = c.step == kSyncFolder;  // it comes after the name is given
    if (c.signal != 0) {
        EXPECT_EQ(InChild([&] {
                      const rlimit noCore{0, 0};
                      ::setrlimit(RLIMIT_CORE, &noCore);
                      WriteAll(t.Path("list.txt"), list, Calls(c.step, 0, c.signal, c.named));
                      return 0;
                  }),
                  100 + c.signal);
    } else {
        EXPECT_PRED_FORMAT2(
            IsSubstring,
            written ? "(Input/output error); it may not survive a crash." : "(Input/output error).",
            WriteAll(t.Path("list.txt"), list, Calls(c.step, EIO, 0, c.named)));
    }
    EXPECT_EQ(t.Read("list.txt"), written ? list : c.fresh ? "" : "the old list");
    EXPECT_EQ(NamesIn(t.Root()), c.fresh && !written ? Names{} : Names{"list.txt"});
}

INSTANTIATE_TEST_SUITE_P(EachStep, Interrupted, ::testing::ValuesIn(StepCases()), StepCaseName);

// A file that appears while the list is written is replaced only with
// consent, also on a file system without unnamed files. (With them, through
// the run: FileAppearing.)
struct ConsentCase {
    const char* name;
    bool plainRename;  // the file system cannot rename without replacing
    int consent;       // -1: given beforehand, 0: no, 1: yes
    bool appears;
};

class TargetAppearing : public ::testing::TestWithParam<ConsentCase> {};

TEST_P(TargetAppearing, IsReplacedOnlyWithConsent) {
    const ConsentCase& c = GetParam();
    TempTree t;
    const std::string path = t.Path("list.txt");
    std::vector<std::string> asked;
    doze::ReplaceConsent consent;
    if (c.consent >= 0) {
        consent = [&](const std::string& target) {
            return asked.push_back(target), c.consent == 1;
        };
    }
    const bool refused = c.consent == 0 && c.appears;
    doze::ReplacingFile file(path, Calls(c.plainRename ? kNoReplace : kNoStep, EINVAL, 0, true),
                             consent);
    file.Write("the new list");
    if (c.appears) std::ofstream(path) << "intruder";
    try {
        file.Commit();
        EXPECT_FALSE(refused);
    } catch (const doze::TargetAppeared& failure) {
        EXPECT_TRUE(refused);
        EXPECT_EQ(failure.what(), "Cannot write \"" + path + "\": the file exists.");
    }
    EXPECT_EQ(asked, std::vector<std::string>(c.consent >= 0 && c.appears, path));
    EXPECT_EQ(t.Read("list.txt"), refused ? "intruder" : "the new list");
    EXPECT_EQ(NamesIn(t.Root()), Names{"list.txt"});
    struct sigaction handler {};
    ::sigaction(SIGINT, nullptr, &handler);
    EXPECT_EQ(handler.sa_handler, SIG_DFL);  // the guard of a named file is gone
}

INSTANTIATE_TEST_SUITE_P(Consent, TargetAppearing,
                         ::testing::Values(ConsentCase{"asked_before", false, -1, true},
                                           ConsentCase{"yes", false, 1, true},
                                           ConsentCase{"no", false, 0, true},
                                           ConsentCase{"no_by_link", true, 0, true},
                                           ConsentCase{"not_asked_by_link", true, 0, false}),
                         kByName);

// A file put at the target while the search runs is replaced only with
// consent: given at the save step, or asked for when the file appears.
struct AppearCase {
    const char* name;
    bool consented, appears, replace, outOfMemory;  // the question runs out of memory instead
    RunOutcome outcome;
    int asked;
    bool keptIntruder;
};

// A front end with set answers that records what it was asked and told.
class Answers : public doze::RunFrontEnd {
  public:
    explicit Answers(std::string target, const AppearCase& c = {})
        : target_(std::move(target)), case_(c) {}
    int asked = 0;
    std::string failure;

    void NothingFound() override {}
    std::optional<doze::ListTarget> ChooseTarget(doze::ListFormat& format) override {
        format = doze::ListFormat::Text;
        return doze::ListTarget{target_, false, case_.consented};
    }
    bool ReplaceAppeared(const std::string&) override {
        ++asked;
        if (case_.outOfMemory) throw std::bad_alloc();
        return case_.replace;
    }
    void Failed(RunOutcome, const std::string& message) override { failure = message; }
    void ListComplete(std::int32_t) override {}

  private:
    std::string target_;
    AppearCase case_;
};

class FileAppearing : public ::testing::TestWithParam<AppearCase> {};

TEST_P(FileAppearing, IsReplacedOnlyWithConsent) {
    const AppearCase& c = GetParam();
    TempTree t;
    t.File("music/a.mp3", 1048576);
    t.Folder("out");
    Answers answers(t.Path("out/list.txt"), c);
    doze::SearchState state;
    state.SearchRoot = t.Path("music");
    const auto search = [&](doze::SearchParams& params, doze::SearchState& s,
                            doze::SearchProgress* progress) {
        doze::RunSearch(params, s, progress);
        if (c.appears) std::ofstream(t.Path("out/list.txt")) << "intruder";
    };
    EXPECT_EQ(doze::GenerateList(state, answers, search), c.outcome);
    EXPECT_EQ(answers.asked, c.asked);
    EXPECT_EQ(t.Read("out/list.txt") == "intruder", c.keptIntruder);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(t.Path("out")), {}), 1);
    EXPECT_EQ(state.FoundList.UpperBound(), 0);
    EXPECT_EQ(answers.failure.find("not enough memory") != std::string::npos, c.outOfMemory);
}

INSTANTIATE_TEST_SUITE_P(
    DuringTheSearch, FileAppearing,
    ::testing::Values(
        AppearCase{"kept", false, true, false, false, RunOutcome::Declined, 1, true},
        AppearCase{"replaced", false, true, true, false, RunOutcome::Written, 1, false},
        AppearCase{"agreed_before", true, true, false, false, RunOutcome::Written, 0, false},
        AppearCase{"none", false, false, false, false, RunOutcome::Written, 0, false},
        AppearCase{"out_of_memory", false, true, false, true, RunOutcome::WriteFailed, 1, true}),
    kByName);

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
// Address space now in use, in bytes.
rlim_t AddressSpaceInUse() {
    unsigned long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    return static_cast<rlim_t>(pages) * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE));
}

// Running out of memory in the search ends the run with one sentence. The run
// is made in a fresh copy of this program, whose memory no other test has used.
TEST(GenerateList, OutOfMemoryInTheSearchEndsTheRunWithAMessage) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    TempTree t;
    t.File("music/a.mp3", 10);
    const auto run = [&] {
        Answers answers(t.Path("list.txt"));
        doze::SearchState state;
        state.SearchRoot = t.Path("music");
        const rlimit limit{AddressSpaceInUse() + (1 << 20), RLIM_INFINITY};
        ::setrlimit(RLIMIT_AS, &limit);
        const RunOutcome outcome = doze::GenerateList(state, answers);
        if (outcome != RunOutcome::SearchFailed) return 10 + static_cast<int>(outcome);
        return answers.failure.find("not enough memory") == std::string::npos ? 20 : 0;
    };
    EXPECT_EXIT(std::exit(run()), ::testing::ExitedWithCode(0), "");
}
#endif

}  // namespace
