#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "output/list_run.h"
#include "test_support/temp_tree.h"

namespace {

using doze::RunOutcome;
using doze::test::TempTree;

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
    [](const auto& info) { return std::string(info.param.name); });

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
// Address space now in use, in bytes.
rlim_t AddressSpaceInUse() {
    unsigned long pages = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%lu", &pages) != 1) pages = 0;
        std::fclose(statm);
    }
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
