#include <gtest/gtest.h>

#include <string>

#include "search/path_text.h"

namespace {

using namespace std::string_literals;

TEST(AddBackslash, AddsExactlyOneSeparator) {
    EXPECT_EQ(doze::AddBackslash(""), "/");
    EXPECT_EQ(doze::AddBackslash("/"), "/");
    EXPECT_EQ(doze::AddBackslash("/music"), "/music/");
    EXPECT_EQ(doze::AddBackslash("/music/"), "/music/");
}

TEST(StripNulls, CutsAtTheFirstNul) {
    EXPECT_EQ(doze::StripNulls("song.mp3"), "song.mp3");
    EXPECT_EQ(doze::StripNulls("Track.mp3" + std::string(247, '\0')), "Track.mp3");
    EXPECT_EQ(doze::StripNulls("\0song"s), "");
}

TEST(FileAndFolderEntries, OnlyTheSeparatorMakesAFolderAndTheLastBarSplitsAFile) {
    // Names may hold "\" and "|" here.
    EXPECT_FALSE(doze::IsFolderEntry("a\\b|c.mp3|12"));
    EXPECT_TRUE(doze::IsFolderEntry("/music/a|b"));
    const auto parts = doze::SplitFileEntry("a|b|c.mp3|0");
    EXPECT_EQ(parts.name, "a|b|c.mp3");
    EXPECT_EQ(parts.sizeText, "0");
    EXPECT_EQ(doze::SplitFileEntry("no bar").sizeText, "");
}

}  // namespace
