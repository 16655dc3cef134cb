#include <gtest/gtest.h>

#include "search/errors.h"
#include "search/search_state.h"
#include "test_support/temp_tree.h"

namespace {

using doze::test::Entries;

// A state just after the begin-run step.
struct Begun {
    Begun() { doze::BeginRun(state, params); }
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

TEST(AppendEntry, StoresAtTheRaisedCount) {
    Begun run;
    auto& [state, params] = run;
    doze::AppendEntry(state, "a.mp3|1");
    doze::AppendEntry(state, "/music/Rock");
    doze::AppendEntry(state, "");
    EXPECT_EQ(state.FoundCount, 3);
    EXPECT_EQ(state.FoundList[1], "a.mp3|1");
    EXPECT_EQ(state.FoundList[2], "/music/Rock");
    EXPECT_EQ(state.FoundList[3], "");
    EXPECT_EQ(state.FoundList[4], "");  // a slot not stored yet reads empty
}

TEST(AppendEntry, TheMillionAndFirstEntryEndsTheSearchAfterTheCountWasRaised) {
    Begun run;
    auto& [state, params] = run;
    for (int i = 0; i < 1'000'000; ++i) doze::AppendEntry(state, "x.mp3|0");
    EXPECT_EQ(state.FoundCount, 1'000'000);
    EXPECT_THROW(doze::AppendEntry(state, "y.mp3|0"), doze::SearchFailure);
    EXPECT_EQ(state.FoundCount, 1'000'001);
    EXPECT_EQ(state.FoundList.Stored(), 1'000'000);
    EXPECT_EQ(state.FoundList[1'000'000], "x.mp3|0");
}

TEST(EndSearch, NothingFoundLeavesTheListAlone) {
    Begun run;
    auto& [state, params] = run;
    EXPECT_FALSE(doze::EndSearch(state));
    EXPECT_EQ(state.FoundList.UpperBound(), 1'000'000);
}

TEST(EndSearch, TrimsToTheCount) {
    Begun run;
    auto& [state, params] = run;
    doze::AppendEntry(state, "a.mp3|1");
    doze::AppendEntry(state, "/m/b");
    ASSERT_TRUE(doze::EndSearch(state));
    EXPECT_EQ(state.FoundList.UpperBound(), 2);
    EXPECT_EQ(Entries(state.FoundList), (std::vector<std::string>{"a.mp3|1", "/m/b"}));
}

TEST(ReleaseList, ErasesAndASecondRunStartsAfresh) {
    Begun run;
    auto& [state, params] = run;
    doze::AppendEntry(state, "first.mp3|1");
    doze::AppendEntry(state, "second.mp3|2");
    doze::EndSearch(state);
    doze::ReleaseList(state);
    EXPECT_FALSE(state.FoundList.IsDimensioned());
    EXPECT_EQ(state.FoundList.Stored(), 0);

    doze::BeginRun(state, params);
    EXPECT_EQ(state.FoundCount, 0);
    doze::AppendEntry(state, "third.mp3|3");
    EXPECT_EQ(state.FoundList[1], "third.mp3|3");
    EXPECT_EQ(state.FoundList.Stored(), 1);
}

TEST(EntryList, StoringOutsideTheDimensionFails) {
    doze::EntryList list;
    list.Dimension(2);
    EXPECT_THROW(list.Store(0, "x"), doze::SearchFailure);
    list.Store(1, "a");
    list.Store(2, "b");
    EXPECT_THROW(list.Store(3, "c"), doze::SearchFailure);
}

}  // namespace
