#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "search/pattern.h"

namespace {

// The listing order of names is proven by the walk (ListsEachFolderInFoldedNameOrder).
TEST(MatchesPattern, MatchesWholeNamesByteForByteFoldingAsciiLetters) {
    struct Case {
        const char* pattern;
        std::vector<std::string> matching, other;
    };
    const Case cases[] = {{"*.mp3",
                           {"song.mp3", "LIVE.MP3", "Mixed.Mp3", ".mp3", "a.mp3.mp3",
                            "tab\there.mp3", "caf\xc3\xa9.mp3", "\xff\xfe.MP3"},
                           {"x.mp3.bak", "mp3", "song.mp4"}},
                          {"*", {""}, {}},
                          {"?", {"a"}, {""}},
                          {"a?c", {"abc"}, {"ac"}},
                          {"a*c", {"abc", "ac"}, {"ab"}},
                          {"*bc", {"abcbc"}, {"abcbd"}},
                          {"*.*", {"anything.at.all"}, {}},
                          {"??", {"\xc3\xa9"}, {}},         // "?" is one byte
                          {"\xc3\x89", {}, {"\xc3\xa9"}}};  // only ASCII letters fold
    for (const Case& c : cases) {
        for (const std::string& name : c.matching) {
            EXPECT_TRUE(doze::MatchesPattern(name, c.pattern)) << name;
        }
        for (const std::string& name : c.other) {
            EXPECT_FALSE(doze::MatchesPattern(name, c.pattern)) << name;
        }
    }
}

}  // namespace
