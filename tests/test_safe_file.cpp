#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "output/list_run.h"
#include "output/message_text.h"
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

// Names reach messages as one line that says what they are: escaped, quoted where escaped.
TEST(MessageText, EscapesWhatATerminalWouldObeyAndQuotesThatPath) {
    const std::pair<std::string, std::string> kShown[] = {
        {"t\x1b]0;PWNED\a!", R"(t\x1b]0;PWNED\x07!)"},
        {"1\r\n2\t", R"(1\x0d\x0a2\x09)"},
        {"c1 \xc2\x85 csi \x9b del \x7f", R"(c1 \u{0085} csi \x9b del \x7f)"},
        {"\u202e3pm.\u2066\u2069\u200f\u2028", R"(\u{202e}3pm.\u{2066}\u{2069}\u{200f}\u{2028})"},
        {"bad \xff\xc3( \xe2\x80", R"(bad \xff\xc3( \xe2\x80)"},
        {R"(a\x1b "q")", R"(a\\x1b \"q\")"},
        {"Mötley Crüe \u00e9", ""},  // shown as it is
    };
    TempTree t;
    for (const auto& [name, shown] : kShown) {
        const std::string path = t.Path(name), quoted = "\"" + t.Root() + "/" + shown;
        EXPECT_EQ(doze::MessagePath(path), shown.empty() ? path : quoted + "\"");
        const std::string failure = WriteAll(path + "/list.txt", "x");
        EXPECT_EQ(failure, "Cannot write " + (shown.empty() ? "\"" + path : quoted) +
                               "/list.txt\": cannot create a file in its folder (" +
                               doze::SystemErrorText(ENOENT) + ").");
    }
}

// Names a table's rows by their `name`.
const auto kByName = [](const auto& info) { return std::string(info.param.name); };
// Each case of this file shows by its name, in ctest's list and in a failure.
template <class Case>
requires requires(const Case& c) {
    c.name;
}
void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

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
    t.Link("shared/up", "..");  // as the folder part of a path
    ASSERT_EQ(::chown(t.Path("shared").c_str(), c.folderOwner, kMe) |
                  ::chmod(t.Path("shared").c_str(), c.folderMode) |
                  ::lchown(t.Path("shared/list.txt").c_str(), c.linkOwner, kMe) |
                  ::lchown(t.Path("shared/up").c_str(), c.linkOwner, kMe),
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
    EXPECT_EQ(NamesIn(t.Path("shared")), (Names{"list.txt", "up"}));
}

INSTANTIATE_TEST_SUITE_P(
    Owners, LinkTarget,
    ::testing::Values(
        LinkCase{"plain_folder", 0755, kMe, kMe, "list.txt", false, true},
        LinkCase{"plain_folder_dangling", 0755, kMe, kMe, "shared/list.txt", true, true},
        LinkCase{"others_link", 01777, 0, kNobody, "shared/list.txt", false, false},
        LinkCase{"others_link_dangling", 01777, 0, kNobody, "shared/list.txt", true, false},
        LinkCase{"others_link_in_a_chain", 01777, 0, kNobody, "list.txt", false, false},
        LinkCase{"others_link_as_folder", 01777, 0, kNobody, "shared/up/secret", false, false},
        LinkCase{"own_link_as_folder", 01777, kMe, kMe, "shared/up/secret", false, true},
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

// The system's calls, but the one at gStep fails with gErr or raises gSignal
// first (or a fork does), and those in gRefused are refused as file systems
// do (fchmod and a folder's fsync with gErr). Writes store half they are given.
enum Step { kNoStep, kOpen, kWrite, kFsync, kClose, kLink, kRename, kSyncFolder };
constexpr unsigned kNamed = 1, kNoProc = 2, kNoEmptyPath = 4, kNoLink = 8, kNoReplace = 16,
                   kNoChmod = 32, kNoFolderSync = 64, kNoReadBack = 128,
                   kClaims = kNamed | kNoReplace | kNoLink;
enum Delivery { kHere, kInFork, kIgnored, kHandled };
Step gStep = kNoStep;
int gErr = 0, gSignal = 0;
unsigned gRefused = 0;
Delivery gDelivery = kHere;

bool Hit(Step step) {
    if (gStep != step) return false;
    if (gSignal != 0 && gDelivery != kInFork) ::raise(gSignal);
    if (gSignal != 0 && gDelivery == kInFork && ::fork() == 0) ::_exit(::raise(gSignal));
    if (gSignal != 0 && gDelivery == kInFork) ::wait(nullptr);
    errno = gErr;
    return gErr != 0;
}

// True, with errno `err`, when `call` is refused.
const auto Refuses = [](unsigned call, int err) { return errno = err, (gRefused & call) != 0; };

doze::FileCalls Calls(Step step, int err, int signal, unsigned refused, Delivery delivery = kHere) {
    gStep = step, gErr = err, gSignal = signal, gRefused = refused, gDelivery = delivery;
    doze::FileCalls c = doze::SystemFileCalls();
    c.openUnnamed = [](int folder, mode_t mode) {
        if (Hit(kOpen) || Refuses(kNamed, EOPNOTSUPP)) return -1;
        return doze::SystemFileCalls().openUnnamed(folder, mode);
    };
    c.fchmod = [](int fd, mode_t m) { return Refuses(kNoChmod, gErr) ? -1 : ::fchmod(fd, m); };
    c.write = [](int fd, const void* data, size_t size) -> ssize_t {
        return Hit(kWrite) ? -1 : ::write(fd, data, (size + 1) / 2);
    };
    c.pread = [](int fd, void* data, size_t size, off_t at) -> ssize_t {
        return Refuses(kNoReadBack, EIO) ? -1 : ::pread(fd, data, size, at);
    };
    c.fsync = [](int fd) { return Hit(kFsync) ? -1 : ::fsync(fd); };
    c.close = [](int fd) { return ::close(fd) != 0 || Hit(kClose) ? -1 : 0; };
    c.link = [](int from, const char* a, int to, const char* b, int flags) {
        const unsigned call =
            flags == 0 ? kNoLink : (flags == AT_EMPTY_PATH ? kNoEmptyPath : kNoProc);
        if (Refuses(call, call == kNoLink ? EPERM : ENOENT) || Hit(kLink)) return -1;
        return ::linkat(from, a, to, b, flags);
    };
    c.rename = [](int from, const char* a, int to, const char* b, unsigned flags) {
        if ((flags != 0 && Refuses(kNoReplace, EINVAL)) || Hit(kRename)) return -1;
        return ::renameat2(from, a, to, b, flags);
    };
    c.syncFolder = [](int fd) {
        return Hit(kSyncFolder) || Refuses(kNoFolderSync, gErr) ? -1 : ::fsync(fd);
    };
    return c;
}

// Where a file system refuses unnamed files, links, renames that keep what is
// there, permissions or a folder's sync, a list is written all the same.
struct RefusalCase {
    const char* name;
    unsigned refused;
    int err;  // of fchmod and of the folder's fsync
};

class RefusingFileSystem : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(RefusingFileSystem, StillGetsTheList) {
    const RefusalCase& c = GetParam();
    TempTree t;
    const mode_t mask = ::umask(027);
    EXPECT_EQ(WriteAll(t.Path("list.txt"), "new", Calls(kNoStep, c.err, 0, c.refused)), "");
    EXPECT_EQ(fs::status(t.Path("list.txt")).permissions(), fs::perms(0640));
    fs::permissions(t.Path("list.txt"), fs::perms(0604));
    EXPECT_EQ(WriteAll(t.Path("list.txt"), "newer", Calls(kNoStep, c.err, 0, c.refused)), "");
    ::umask(mask);
    EXPECT_EQ(t.Read("list.txt"), "newer");
    EXPECT_EQ(fs::status(t.Path("list.txt")).permissions(),
              fs::perms(c.refused & kNoChmod ? 0600 : 0604));  // without fchmod: made 0604 - 027
    EXPECT_EQ(NamesIn(t.Root()), Names{"list.txt"});
}

INSTANTIATE_TEST_SUITE_P(
    Refused, RefusingFileSystem,
    ::testing::Values(RefusalCase{"tmpfile", kNamed, 0}, RefusalCase{"link", kNoLink, 0},
                      // Linking by descriptor may need CAP_DAC_READ_SEARCH: others copy.
                      RefusalCase{"proc", kNoProc | (::geteuid() == 0 ? kNoReadBack : 0), 0},
                      RefusalCase{"proc_and_empty_path", kNoProc | kNoEmptyPath, 0},
                      RefusalCase{"links_and_noreplace", kClaims, 0},
                      RefusalCase{"unnamed_claims", kClaims - kNamed + kNoProc + kNoEmptyPath, 0},
                      RefusalCase{"fat", kClaims | kNoChmod, ENOSYS},
                      RefusalCase{"chmod_eperm", kNoChmod, EPERM},
                      RefusalCase{"chmod_enotsup", kNoChmod, ENOTSUP},
                      RefusalCase{"folder_sync_einval", kNoFolderSync, EINVAL},
                      RefusalCase{"folder_sync_enotsup", kNoFolderSync | kNamed, ENOTSUP}),
    kByName);

// Each call in turn fails, or a signal ends the program there (in a child):
// the target stays as it was and no temporary file is left. A signal the
// program ignores or handles, or one that ends a fork of it, changes nothing.
struct StepCase {
    Step step;
    int signal;  // 0: the call fails
    unsigned refused;
    bool fresh;  // no list.txt before
    Delivery delivery = kHere;
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
                    cases.push_back({static_cast<Step>(step), signal, named ? kNamed : 0u, fresh});
                }
            }
        }
    }
    // The other signals whose default action ends the program (signal(7)).
    for (const int signal : {SIGQUIT, SIGILL,  SIGTRAP, SIGABRT, SIGBUS,    SIGFPE,  SIGUSR1,
                             SIGSEGV, SIGUSR2, SIGPIPE, SIGALRM, SIGSTKFLT, SIGXCPU, SIGVTALRM,
                             SIGPROF, SIGIO,   SIGPWR,  SIGSYS,  SIGRTMIN,  SIGRTMAX}) {
        cases.push_back({kWrite, signal, kNamed, false});
    }
    cases.push_back({kWrite, SIGHUP, kNamed, false, kIgnored});
    cases.push_back({kWrite, SIGUSR1, kNamed, false, kHandled});
    cases.push_back({kWrite, SIGTERM, kNamed, false, kInFork});
    cases.push_back({kRename, 0, kClaims, true});  // the claimed name goes again
    return cases;
}

std::string StepName(const StepCase& c) {
    static const char* const kSteps[] = {"",      "open", "write",  "fsync",
                                         "close", "link", "rename", "folder_sync"};
    static const char* const kDelivery[] = {"", "_in_fork", "_ignored", "_handled"};
    const char* abbrev = c.signal != 0 ? sigabbrev_np(c.signal) : "fails";
    return kSteps[c.step] + ("_" + (abbrev ? abbrev : std::to_string(c.signal))) +
           (c.refused != 0 ? "_named" : "") + (c.refused == kClaims ? "_claimed" : "") +
           (c.fresh ? "_fresh" : "") + kDelivery[c.delivery];
}

std::string StepCaseName(const ::testing::TestParamInfo<StepCase>& info) {
    return StepName(info.param);
}
void PrintTo(const StepCase& c, std::ostream* out) {
    *out << StepName(c);
}

class Interrupted : public ::testing::TestWithParam<StepCase> {};

void Handle(int) {}  // a handler of the program's own

TEST_P(Interrupted, LeavesTheTargetAsItWasAndNoTemporary) {
    const StepCase& c = GetParam();
    TempTree t;
    if (!c.fresh) WriteAll(t.Path("list.txt"), "the old list");
    const std::string list(100000, 'n');
    // The sync of the folder comes after the name is given.
    const bool written = c.step == kSyncFolder || c.delivery != kHere;
    if (c.signal != 0) {
        const int status = InChild([&] {
            const rlimit noCore{0, 0};
            ::setrlimit(RLIMIT_CORE, &noCore);
            if (c.delivery >= kIgnored)
                ::signal(c.signal, c.delivery == kIgnored ? SIG_IGN : Handle);
            const auto calls = Calls(c.step, 0, c.signal, c.refused, c.delivery);
            return WriteAll(t.Path("list.txt"), list, calls).empty() ? 0 : 1;
        });
        struct sigaction own {};  // a sanitizer's: it reports a fault and ends the child its way
        if (::sigaction(c.signal, nullptr, &own) == 0 && own.sa_handler != SIG_DFL) {
            EXPECT_NE(status, 0);
        } else {
            EXPECT_EQ(status, c.delivery == kHere ? 100 + c.signal : 0);
        }
    } else {
        EXPECT_PRED_FORMAT2(
            IsSubstring,
            written ? "(Input/output error); it may not survive a crash." : "(Input/output error).",
            WriteAll(t.Path("list.txt"), list, Calls(c.step, EIO, 0, c.refused)));
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
    unsigned refused;  // kNoReplace: cannot rename without replacing; kNoLink too: claims
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
    doze::ReplacingFile file(path, Calls(kNoStep, 0, 0, kNamed | c.refused), consent);
    file.Write("the new list");
    if (c.appears) std::ofstream(path) << "intruder";
    EXPECT_EQ(file.Commit(), refused ? doze::Committed::TargetKept : doze::Committed::Stored);
    EXPECT_EQ(asked, std::vector<std::string>(c.consent >= 0 && c.appears, path));
    EXPECT_EQ(t.Read("list.txt"), refused ? "intruder" : "the new list");
    EXPECT_EQ(NamesIn(t.Root()), Names{"list.txt"});
    struct sigaction handler {};
    ::sigaction(SIGINT, nullptr, &handler);
    EXPECT_EQ(handler.sa_handler, SIG_DFL);  // the guard of a named file is gone
}

INSTANTIATE_TEST_SUITE_P(Consent, TargetAppearing,
                         ::testing::Values(ConsentCase{"asked_before", 0, -1, true},
                                           ConsentCase{"yes", 0, 1, true},
                                           ConsentCase{"no", 0, 0, true},
                                           ConsentCase{"no_by_link", kNoReplace, 0, true},
                                           ConsentCase{"not_asked_by_link", kNoReplace, 0, false},
                                           ConsentCase{"no_by_claim", kClaims, 0, true}),
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
        const doze::SearchEnd end = doze::RunSearch(params, s, progress);
        if (c.appears) std::ofstream(t.Path("out/list.txt")) << "intruder";
        return end;
    };
    EXPECT_EQ(doze::GenerateList(state, answers, search), c.outcome);
    EXPECT_EQ(answers.asked, c.asked);
    EXPECT_EQ(t.Read("out/list.txt") == "intruder", c.keptIntruder);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(t.Path("out")), {}), 1);
    EXPECT_EQ(state.FoundList.UpperBound(), 0);
    EXPECT_EQ(answers.failure,
              c.outOfMemory ? "There is not enough memory to write the list." : "");
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
        return answers.failure ==
                       "There is not enough memory to search \"" + t.Path("music") + "\"."
                   ? 0
                   : 20;
    };
    EXPECT_EXIT(std::exit(run()), ::testing::ExitedWithCode(0), "");
}
#endif

}  // namespace
