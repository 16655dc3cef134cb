#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "output/list_writers.h"
#include "test_support/list_fixture.h"

namespace {

using Strings = std::vector<std::string>;

// The name padded so that its size starts in column 60.
std::string FileLine(const std::string& name, const std::string& size) {
    return name + std::string(59 - name.size(), ' ') + size + " MB";
}

doze::test::WrittenList Write(const std::string& root, const Strings& entries) {
    return doze::test::WriteInMemory(doze::ListFormat::Text, root, entries);
}

TEST(WriteTextList, ColumnRuleForLongNamesCountsCharactersNotBytes) {
    const std::string name59(59, 'a');
    const std::string name60(60, 'b');
    const std::string accented = "caf\xc3\xa9";  // 4 characters, 5 bytes
    const std::string invalid = "\xff\xfe.mp3";  // each bad byte counts as one
    const auto [lines, count] =
        Write("/M", {name59 + "|0", name60 + "|0", accented + "|0", invalid + "|0"});
    ASSERT_EQ(lines.size(), 10u);  // a list ending in a file ends with its line
    EXPECT_EQ(lines[5], name59 + "0.00 MB");
    EXPECT_EQ(lines[6], name60);
    EXPECT_EQ(lines[7], std::string(59, ' ') + "0.00 MB");
    EXPECT_EQ(lines[8], accented + std::string(55, ' ') + "0.00 MB");
    EXPECT_EQ(lines[9], invalid + std::string(53, ' ') + "0.00 MB");
    EXPECT_EQ(count, 4);
}

TEST(WriteTextList, HostileNamesStayOnTheirLines) {
    const auto [lines, count] =
        Write("/M\ttab", {"new\nline.mp3|0", "a|b.mp3|1572863", "back\\slash.mp3|0",
                          "/M\ttab/sub\rdir", "x\x7f\xc2\x85\xe2\x80\xa9.mp3|0"});
    EXPECT_EQ(count, 4);
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[3], "/M?tab");
    EXPECT_EQ(lines[5], FileLine("new?line.mp3", "0.00"));
    EXPECT_EQ(lines[6], FileLine("a|b.mp3", "2.00"));  // the last "|" splits off the size
    EXPECT_EQ(lines[7], FileLine("back\\slash.mp3", "0.00"));
    EXPECT_EQ(lines[9], "/M?tab/sub?dir");
    EXPECT_EQ(lines[10], "");
    EXPECT_EQ(lines[11], FileLine("x???.mp3", "0.00"));
}

TEST(WriteTextList, AnUnconvertibleSizeFailsWithoutCommitOrReport) {
    EXPECT_EQ(Write("/M", {"a.mp3|1", "b.mp3|99999999999999999999"}).count, -1);
}

}  // namespace
