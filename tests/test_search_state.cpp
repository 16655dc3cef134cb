#include <gtest/gtest.h>

#include "search/errors.h"
#include "search/search_state.h"
#include "test_support/temp_tree.h"

namespace {

using Strings = std::vector<std::string>;

// A state just after the begin-run step.
class SearchStateTest : public ::testing::Test {
  protected:
    void SetUp() override { doze::BeginRun(state, params); }
    void Append(const Strings& entries) {
        for (const std::string& entry : entries) doze::AppendEntry(state, entry);
    }
    doze::SearchState state;
    doze::SearchParams params;
};

TEST(BeginRun, SetsPatternPathCapacityAndCount) {
    doze::SearchState state;
    doze::SearchParams params{"left over", "*.txt"};
    state.SearchRoot = "/music";
    state.FoundCount = 17;
    doze::BeginRun(state, params);
    EXPECT_EQ(params.Pattern, "*.mp3");
    EXPECT_EQ(params.Path, "/music");
    EXPECT_EQ(state.FoundCount, 0);
    EXPECT_EQ(state.FoundList.UpperBound(), 1'000'000);
    EXPECT_EQ(state.FoundList.Stored(), 0);
}

TEST_F(SearchStateTest, EntriesStandAtTheRaisedCountAndTrimKeepsThem) {
    EXPECT_FALSE(doze::EndSearch(state));  // nothing found: the list stays as it is
    EXPECT_EQ(state.FoundList.UpperBound(), 1'000'000);
    Append({"a.mp3|1", "/music/Rock", ""});
    EXPECT_EQ(state.FoundCount, 3);
    EXPECT_EQ(state.FoundList[4], "");  // a slot not stored yet reads empty
    ASSERT_TRUE(doze::EndSearch(state));
    EXPECT_EQ(state.FoundList.UpperBound(), 3);
    EXPECT_EQ(doze::test::Entries(state.FoundList), (Strings{"a.mp3|1", "/music/Rock", ""}));
}

TEST_F(SearchStateTest, TheMillionAndFirstEntryEndsTheSearchAfterTheCountWasRaised) {
    for (int i = 0; i < 1'000'000; ++i) doze::AppendEntry(state, "x.mp3|0");
    EXPECT_EQ(state.FoundCount, 1'000'000);
    EXPECT_THROW(doze::AppendEntry(state, "y.mp3|0"), doze::SearchFailure);
    EXPECT_EQ(state.FoundCount, 1'000'001);
    EXPECT_EQ(state.FoundList.Stored(), 1'000'000);
    EXPECT_EQ(state.FoundList[1'000'000], "x.mp3|0");
}

TEST_F(SearchStateTest, ReleaseErasesAndASecondRunStartsAfresh) {
    Append({"first.mp3|1", "second.mp3|2"});
    doze::EndSearch(state);
    doze::ReleaseList(state);
    EXPECT_FALSE(state.FoundList.IsDimensioned());
    EXPECT_EQ(state.FoundList.Stored(), 0);
    doze::BeginRun(state, params);
    EXPECT_EQ(state.FoundCount, 0);
    Append({"third.mp3|3"});
    EXPECT_EQ(doze::test::Entries(state.FoundList), (Strings{"third.mp3|3"}));
}

}  // namespace
