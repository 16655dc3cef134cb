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
    EXPECT_EQ(doze::AddBackslash("/music//"), "/music//");  // never removes one either
}

TEST(StripNulls, CutsAtTheFirstNul) {
    EXPECT_EQ(doze::StripNulls("song.mp3"), "song.mp3");
    EXPECT_EQ(doze::StripNulls("song.mp3\0\0\0"s), "song.mp3");
    EXPECT_EQ(doze::StripNulls("\0song"s), "");
    EXPECT_EQ(doze::StripNulls("a\0b\0"s), "a");
    std::string field(256, '\0');
    field.replace(0, 9, "Track.mp3");
    EXPECT_EQ(doze::StripNulls(field), "Track.mp3");
}

TEST(IsFolderEntry, FolderEntriesHoldTheSeparator) {
    EXPECT_TRUE(doze::IsFolderEntry("/music/Rock"));
    EXPECT_FALSE(doze::IsFolderEntry("riff.mp3|2621440"));
    // Names may hold "\" and "|" here; only "/" makes a folder entry.
    EXPECT_FALSE(doze::IsFolderEntry("a\\b.mp3|12"));
    EXPECT_TRUE(doze::IsFolderEntry("/music/a|b"));
}

TEST(SplitFileEntry, SplitsAtTheLastBar) {
    auto parts = doze::SplitFileEntry("riff.mp3|2621440");
    EXPECT_EQ(parts.name, "riff.mp3");
    EXPECT_EQ(parts.sizeText, "2621440");
    parts = doze::SplitFileEntry("a|b|c.mp3|0");
    EXPECT_EQ(parts.name, "a|b|c.mp3");
    EXPECT_EQ(parts.sizeText, "0");
    parts = doze::SplitFileEntry("no bar");
    EXPECT_EQ(parts.name, "no bar");
    EXPECT_EQ(parts.sizeText, "");
}

}  // namespace
