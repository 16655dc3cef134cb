#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "search/pattern.h"

namespace {

struct MatchCase {
    const char* name;
    const char* pattern;
    bool matches;
};

class MatchesPatternTable : public ::testing::TestWithParam<MatchCase> {};

TEST_P(MatchesPatternTable, Matches) {
    EXPECT_EQ(doze::MatchesPattern(GetParam().name, GetParam().pattern), GetParam().matches)
        << GetParam().name << " ~ " << GetParam().pattern;
}

INSTANTIATE_TEST_SUITE_P(
    Mp3Names, MatchesPatternTable,
    ::testing::Values(MatchCase{"song.mp3", "*.mp3", true}, MatchCase{"LIVE.MP3", "*.mp3", true},
                      MatchCase{"Mixed.Mp3", "*.mp3", true}, MatchCase{".mp3", "*.mp3", true},
                      MatchCase{"x.mp3.bak", "*.mp3", false}, MatchCase{"mp3", "*.mp3", false},
                      MatchCase{"song.mp4", "*.mp3", false}, MatchCase{"a.mp3.mp3", "*.mp3", true},
                      MatchCase{"caf\xc3\xa9.mp3", "*.mp3", true},
                      MatchCase{"\xff\xfe.MP3", "*.mp3", true},
                      MatchCase{"tab\there.mp3", "*.mp3", true}));

INSTANTIATE_TEST_SUITE_P(
    Wildcards, MatchesPatternTable,
    ::testing::Values(MatchCase{"", "*", true}, MatchCase{"", "?", false},
                      MatchCase{"a", "?", true}, MatchCase{"abc", "a?c", true},
                      MatchCase{"abc", "a*c", true}, MatchCase{"ac", "a*c", true},
                      MatchCase{"abcbc", "*bc", true}, MatchCase{"abcbd", "*bc", false},
                      MatchCase{"anything.at.all", "*.*", true},
                      MatchCase{"\xc3\xa9", "??", true},           // "?" is one byte
                      MatchCase{"\xc3\xa9", "\xc3\x89", false}));  // only ASCII letters fold

TEST(ListingLess, FoldsAsciiLettersAndBreaksTiesByRawBytes) {
    std::vector<std::string> names = {
        "b.mp3", "A.mp3", "a.mp3", "_x", "Zed", "10", "9", "\xc3\xa9t\xc3\xa9", "B.mp3", "e"};
    std::sort(names.begin(), names.end(),
              [](const std::string& x, const std::string& y) { return doze::ListingLess(x, y); });
    const std::vector<std::string> expected = {"10",    "9", "A.mp3", "a.mp3", "B.mp3",
                                               "b.mp3", "e", "Zed",   "_x",    "\xc3\xa9t\xc3\xa9"};
    EXPECT_EQ(names, expected);
}

}  // namespace
