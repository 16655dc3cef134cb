// SPDX-License-Identifier: MIT
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
#include <iostream>
#include <set>
#include <string>

#include "output/internal_error.h"
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
using doze::test::kCannot;
using doze::test::TempTree;
using Names = std::set<std::string>;
using ::testing::IsSubstring;

// A hidden temporary name, as NamesIn shows it.
constexpr const char* kHiddenName = ".dozedozovo-?";

Names NamesIn(const std::string& folder) {
    Names names;
    for (const auto& e : fs::directory_iterator(folder)) {
        const std::string name = e.path().filename();
        names.insert(name.starts_with(".dozedozovo-") ? kHiddenName : name);
    }
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

// What is not a file or cannot be one is refused, and left untouched.
TEST(ReplacingFile, RefusesWhatIsNoFileOrCannotBeOne) {
    TempTree t;
    ASSERT_EQ(::mkfifo(t.Path("fifo").c_str(), 0644), 0);
    t.Folder("folder");
    t.Link("loop", "loop");
    for (const char* name : {"fifo", "folder", "loop", "no/such/list.txt"}) {
        EXPECT_PRED_FORMAT2(IsSubstring, t.Path(name) + "\": ", WriteAll(t.Path(name), "x"));
    }
    EXPECT_TRUE(fs::is_fifo(t.Path("fifo")));
    EXPECT_EQ(NamesIn(t.Root()), (Names{"fifo", "folder", "loop"}));
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
    for (const auto& [name, shown] : kShown) {
        const std::string quoted = "\"" + (shown.empty() ? name : shown) + "\"";
        EXPECT_EQ(doze::MessagePath(name), shown.empty() ? name : quoted);
        EXPECT_EQ(doze::QuotedMessagePath(name), quoted);  // as a failure to write names it
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

// The system's calls, but those in gRefused are refused as file systems do
// (fchmod and a folder's fsync with gErr), and of the calls made (gMade, a
// run of calls of one kind as one) the first of run gAt fails with gErr or
// raises gSignal first (or a fork of the program does). Writes store half
// what they are given.
enum Step { kOpen, kWrite, kFsync, kClose, kLink, kRename, kSyncFolder };
const char* const kStepNames[] = {"open", "write", "fsync", "close", "link", "rename", "sync"};
constexpr unsigned kNamed = 1, kNoProc = 2, kNoEmptyPath = 4, kNoLink = 8, kNoReplace = 16,
                   kNoChmod = 32, kNoFolderSync = 64, kNoReadBack = 128, kNoFolderRead = 256,
                   kClaims = kNamed | kNoReplace | kNoLink;
enum Delivery { kHere, kInFork, kIgnored, kHandled };
std::vector<Step> gMade;
std::size_t gAt = SIZE_MAX;
int gErr = 0, gSignal = 0;
unsigned gRefused = 0;
Delivery gDelivery = kHere;

bool Hit(Step step) {
    if (!gMade.empty() && gMade.back() == step) return false;
    gMade.push_back(step);
    if (gMade.size() - 1 != gAt) return false;
    if (gSignal != 0 && gDelivery != kInFork) ::raise(gSignal);
    if (gSignal != 0 && gDelivery == kInFork && ::fork() == 0) ::_exit(::raise(gSignal));
    if (gSignal != 0 && gDelivery == kInFork) ::wait(nullptr);
    errno = gErr;
    return gErr != 0;
}

// True, with errno `err`, when `call` is refused.
const auto Refuses = [](unsigned call, int err) { return errno = err, (gRefused & call) != 0; };

doze::FileCalls Calls(unsigned refused, int err = 0, std::size_t failAt = SIZE_MAX, int signal = 0,
                      Delivery delivery = kHere) {
    gMade.clear();
    gAt = failAt, gErr = err, gSignal = signal, gRefused = refused, gDelivery = delivery;
    doze::FileCalls c = doze::SystemFileCalls();
    c.openUnnamed = [](int folder, mode_t mode) {
        if (Hit(kOpen) || Refuses(kNamed, EOPNOTSUPP)) return -1;
        return doze::SystemFileCalls().openUnnamed(folder, mode);
    };
    c.openat = [](int folder, const char* name, int flags, mode_t mode) {
        if (name == std::string_view(".") && Refuses(kNoFolderRead, EACCES)) return -1;
        return ::openat(folder, name, flags, mode);
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

// Where a file system refuses nothing, or unnamed files, links, renames that
// keep what is there, permissions or a folder's sync, or the folder cannot be
// read to sync it, a list is written all the same, a new one with the usual
// mode, an old one keeping its own.
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
    EXPECT_EQ(WriteAll(t.Path("list.txt"), "new", Calls(c.refused, c.err)), "");
    EXPECT_EQ(fs::status(t.Path("list.txt")).permissions(), fs::perms(0640));
    fs::permissions(t.Path("list.txt"), fs::perms(0604));
    EXPECT_EQ(WriteAll(t.Path("list.txt"), "newer", Calls(c.refused, c.err)), "");
    ::umask(mask);
    EXPECT_EQ(t.Read("list.txt"), "newer");
    EXPECT_EQ(fs::status(t.Path("list.txt")).permissions(),
              fs::perms(c.refused & kNoChmod ? 0600 : 0604));  // without fchmod: made 0604 - 027
    EXPECT_EQ(NamesIn(t.Root()), Names{"list.txt"});
}

INSTANTIATE_TEST_SUITE_P(
    Refused, RefusingFileSystem,
    ::testing::Values(RefusalCase{"nothing", 0, 0}, RefusalCase{"tmpfile", kNamed, 0},
                      RefusalCase{"link", kNoLink, 0},
                      // Linking by descriptor may need CAP_DAC_READ_SEARCH: others copy.
                      RefusalCase{"proc", kNoProc | (::geteuid() == 0 ? kNoReadBack : 0), 0},
                      RefusalCase{"proc_and_empty_path", kNoProc | kNoEmptyPath, 0},
                      RefusalCase{"links_and_noreplace", kClaims, 0},
                      RefusalCase{"unnamed_claims", kClaims - kNamed + kNoProc + kNoEmptyPath, 0},
                      RefusalCase{"fat", kClaims | kNoChmod, ENOSYS},
                      RefusalCase{"chmod_eperm", kNoChmod, EPERM},
                      RefusalCase{"chmod_enotsup", kNoChmod, ENOTSUP},
                      RefusalCase{"folder_sync_einval", kNoFolderSync, EINVAL},
                      RefusalCase{"folder_sync_enotsup", kNoFolderSync | kNamed, ENOTSUP},
                      RefusalCase{"folder_unreadable", kNoFolderRead, 0}),
    kByName);

// Running out of memory once the target's folder is open, or once the hidden
// file is made too, leaves no descriptor open, no file and no name to guard.
TEST(ReplacingFile, OutOfMemoryWhileMadeLeavesNothingBehind) {
    TempTree t;
    for (const unsigned refused : {0u, kNamed}) {
        doze::FileCalls calls = Calls(refused);
        if (refused == 0) calls.openUnnamed = [](int, mode_t) -> int { throw std::bad_alloc(); };
        if (refused != 0) calls.fchmod = [](int, mode_t) -> int { throw std::bad_alloc(); };
        const auto descriptors = [] { return NamesIn("/proc/self/fd").size(); };
        const std::size_t before = descriptors();
        EXPECT_THROW(doze::ReplacingFile(t.Path("list.txt"), calls), std::bad_alloc);
        EXPECT_EQ(descriptors(), before) << (refused ? "named" : "unnamed");
        EXPECT_EQ(NamesIn(t.Root()), Names{});
        struct sigaction handler {};
        ::sigaction(SIGINT, nullptr, &handler);
        EXPECT_EQ(handler.sa_handler, SIG_DFL) << "a name is still guarded";
    }
}

// What a call's failure leaves: the target as it was (and a sentence naming
// the cause), the list written as if nothing had failed, or the list written
// with a sentence saying it may not survive a crash.
enum Leaves { kKept, kWritten, kUnsure };
// What of the new list has a name while a call is made, for a signal that
// ends the program there: none, a hidden temporary one, or the target's.
enum Stands { kNone, kHidden, kTarget };
struct Call {
    Step step;
    Leaves failed;
    Stands stands;
};
// A way of saving: what the file system refuses, whether a list is there
// before, whether signals are shown, and the calls it makes in this order.
struct Way {
    const char* name;
    unsigned refused;
    bool fresh, signals;
    std::vector<Call> calls;
};
// clang-format off
// Named first: a hidden temporary file, renamed to the target's name.
const std::vector<Call> kNamedCalls = {
    {kOpen, kKept, kNone}, {kWrite, kKept, kHidden}, {kFsync, kKept, kHidden},
    {kClose, kKept, kHidden}, {kRename, kKept, kHidden}, {kClose, kWritten, kTarget},
    {kSyncFolder, kUnsure, kTarget}, {kClose, kWritten, kTarget}};
const Way kWays[] = {
    {"unnamed_fresh", 0, true, true, {  // linked as the target
        {kOpen, kKept, kNone}, {kWrite, kKept, kNone}, {kFsync, kKept, kNone},
        {kLink, kKept, kNone}, {kClose, kKept, kTarget}, {kSyncFolder, kUnsure, kTarget},
        {kClose, kWritten, kTarget}}},
    {"unnamed", 0, false, true, {  // linked under a hidden name, renamed over the target
        {kOpen, kKept, kNone}, {kWrite, kKept, kNone}, {kFsync, kKept, kNone},
        {kLink, kKept, kNone}, {kClose, kKept, kHidden}, {kRename, kKept, kHidden},
        {kClose, kWritten, kTarget}, {kSyncFolder, kUnsure, kTarget}, {kClose, kWritten, kTarget}}},
    {"named_fresh", kNamed, true, true, kNamedCalls},
    {"named", kNamed, false, true, kNamedCalls},
    // The name claimed with an empty file, the list renamed over it: signals
    // wait meanwhile, so that what they leave depends on when they come.
    {"claimed_fresh", kClaims, true, false, kNamedCalls},
    {"copied", kNoProc | kNoEmptyPath, false, true, {  // for want of links, into a hidden file
        {kOpen, kKept, kNone}, {kWrite, kKept, kNone}, {kFsync, kKept, kNone},
        {kWrite, kKept, kHidden}, {kClose, kWritten, kHidden} /* the unnamed one */,
        {kFsync, kKept, kHidden}, {kClose, kKept, kHidden}, {kRename, kKept, kHidden},
        {kClose, kWritten, kTarget}, {kSyncFolder, kUnsure, kTarget},
        {kClose, kWritten, kTarget}}},
};
// clang-format on

std::string Steps(const std::vector<Step>& steps) {
    std::string text;
    for (const Step step : steps) text += std::string(text.empty() ? "" : " ") + kStepNames[step];
    return text;
}

class SavingWay : public ::testing::TestWithParam<Way> {};

TEST_P(SavingWay, MakesItsCallsInOrder) {
    const Way& way = GetParam();
    TempTree t;
    if (!way.fresh) WriteAll(t.Path("list.txt"), "the old list");
    EXPECT_EQ(WriteAll(t.Path("list.txt"), "the list", Calls(way.refused)), "");
    std::vector<Step> expected;
    for (const Call& call : way.calls) expected.push_back(call.step);
    EXPECT_EQ(Steps(gMade), Steps(expected));
    EXPECT_EQ(t.Read("list.txt"), "the list");
}

INSTANTIATE_TEST_SUITE_P(Ways, SavingWay, ::testing::ValuesIn(kWays), kByName);

// Each call of each way in turn fails, or a signal ends the program there (in
// a child): the target is as it was, and no temporary file is left, unless
// the call leaves the list written; SIGKILL leaves a hidden name that stands.
// A signal the program ignores or handles, or one that ends a fork of it,
// changes nothing.
struct Interruption {
    const Way* way;
    std::size_t at;  // the call
    int signal;      // 0: the call fails
    Delivery delivery = kHere;
};

std::vector<Interruption> Interruptions() {
    std::vector<Interruption> cases;
    for (const Way& way : kWays) {
        for (std::size_t at = 0; at < way.calls.size(); ++at) {
            for (const int signal : {0, SIGINT, SIGTERM, SIGHUP, SIGKILL, SIGXFSZ}) {
                if (signal == 0 || way.signals) cases.push_back({&way, at, signal});
            }
        }
    }
    // The other signals whose default action ends the program (signal(7)),
    // while a named list is written.
    const Way* named = &kWays[3];
    for (const int signal : {SIGQUIT, SIGILL,  SIGTRAP, SIGABRT, SIGBUS,    SIGFPE,  SIGUSR1,
                             SIGSEGV, SIGUSR2, SIGPIPE, SIGALRM, SIGSTKFLT, SIGXCPU, SIGVTALRM,
                             SIGPROF, SIGIO,   SIGPWR,  SIGSYS,  SIGRTMIN,  SIGRTMAX}) {
        cases.push_back({named, 1, signal});
    }
    cases.push_back({named, 1, SIGHUP, kIgnored});
    cases.push_back({named, 1, SIGUSR1, kHandled});
    cases.push_back({named, 1, SIGTERM, kInFork});
    return cases;
}

std::string InterruptionName(const Interruption& c) {
    static const char* const kDelivery[] = {"", "_in_fork", "_ignored", "_handled"};
    const char* abbrev = c.signal != 0 ? sigabbrev_np(c.signal) : "fails";
    return std::string(c.way->name) + "_" + std::to_string(c.at) + "_" +
           kStepNames[c.way->calls[c.at].step] + "_" +
           (abbrev ? abbrev : std::to_string(c.signal)) + kDelivery[c.delivery];
}
void PrintTo(const Interruption& c, std::ostream* out) {
    *out << InterruptionName(c);
}

class Interrupted : public ::testing::TestWithParam<Interruption> {};

void Handle(int) {}  // a handler of the program's own

TEST_P(Interrupted, LeavesTheTargetAsItWasAndNoTemporary) {
    const Interruption& c = GetParam();
    const Call& call = c.way->calls[c.at];
    TempTree t;
    if (!c.way->fresh) WriteAll(t.Path("list.txt"), "the old list");
    const std::string list(100000, 'n');
    bool written = call.failed != kKept;
    if (c.signal != 0) {
        written = c.delivery != kHere || call.stands == kTarget;
        const int status = InChild([&] {
            const rlimit noCore{0, 0};
            ::setrlimit(RLIMIT_CORE, &noCore);
            if (c.delivery >= kIgnored)
                ::signal(c.signal, c.delivery == kIgnored ? SIG_IGN : Handle);
            const auto calls = Calls(c.way->refused, 0, c.at, c.signal, c.delivery);
            return WriteAll(t.Path("list.txt"), list, calls).empty() ? 0 : 1;
        });
        struct sigaction own {};  // a sanitizer's: it reports a fault and ends the child its way
        if (::sigaction(c.signal, nullptr, &own) == 0 && own.sa_handler != SIG_DFL) {
            EXPECT_NE(status, 0);
        } else {
            EXPECT_EQ(status, c.delivery == kHere ? 100 + c.signal : 0);
        }
    } else {
        // How the sentence ends, after what failed: by what each leaves.
        static const char* const kEnds[] = {" (Input/output error).", "",
                                            " (Input/output error); it may not survive a crash."};
        const std::string failure =
            WriteAll(t.Path("list.txt"), list, Calls(c.way->refused, EIO, c.at));
        EXPECT_EQ(failure.substr(std::min(failure.size(), failure.rfind(" ("))),
                  kEnds[call.failed]);
    }
    EXPECT_EQ(t.Read("list.txt"), written ? list : c.way->fresh ? "" : "the old list");
    Names left = c.way->fresh && !written ? Names{} : Names{"list.txt"};
    if (c.signal == SIGKILL && call.stands == kHidden) left.insert(kHiddenName);
    EXPECT_EQ(NamesIn(t.Root()), left);
}

INSTANTIATE_TEST_SUITE_P(EachCall, Interrupted, ::testing::ValuesIn(Interruptions()),
                         [](const auto& row) { return InterruptionName(row.param); });

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
    doze::ReplacingFile file(path, Calls(kNamed | c.refused), consent);
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
    EXPECT_EQ(NamesIn(t.Path("out")), Names{"list.txt"});
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

// A fault of the program is no failure of the run: it passes on, unreported,
// and the list goes all the same.
TEST(GenerateList, AFaultOfTheProgramPassesOn) {
    TempTree t;
    Answers answers(t.Path("list.txt"));
    doze::SearchState state;
    const auto faulty = [](doze::SearchParams&, doze::SearchState& s,
                           doze::SearchProgress*) -> doze::SearchEnd {
        doze::AppendEntry(s, "a.mp3|1");
        throw std::logic_error("a fault");
    };
    EXPECT_THROW(doze::GenerateList(state, answers, faulty), std::logic_error);
    EXPECT_EQ(answers.failure, "");
    EXPECT_EQ(state.FoundList.UpperBound(), 0);
}

// A fault that escapes ends the program as one, in one escaped line.
TEST(GenerateList, AFaultThatEscapesEndsTheProgramAsOne) {
    EXPECT_DEATH(
        {
            doze::TreatEscapesAsFaults("prog");
            try {
                throw std::logic_error("a fault\x1b");
            } catch (...) {
                std::terminate();
            }
        },
        "prog: internal error: a fault\\\\x1b\n");
}

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
        std::cerr << "the run ended " << static_cast<int>(outcome) << ": " << answers.failure;
        return outcome == RunOutcome::SearchFailed &&
                       answers.failure ==
                           "There is not enough memory to search \"" + t.Path("music") + "\"."
                   ? 0
                   : 1;
    };
    EXPECT_EXIT(std::exit(run()), ::testing::ExitedWithCode(0), "");
}
#endif

}  // namespace
