#include <gtest/gtest.h>

#include <string>

#include "output/size_format.h"
#include "output/write_failure.h"

namespace {

struct SizeCase {
    const char* sizeText;
    const char* expected;
};

class FormatSizeMBTable : public ::testing::TestWithParam<SizeCase> {};

TEST_P(FormatSizeMBTable, RoundsToKilobytesThenMegabytes) {
    EXPECT_EQ(doze::FormatSizeMB(GetParam().sizeText), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    ByteCounts, FormatSizeMBTable,
    ::testing::Values(SizeCase{"0", "0.00"}, SizeCase{"1536", "0.00"},
                      SizeCase{"524288", "0.00"},  // half a megabyte: to the even 0
                      SizeCase{"1048575", "1.00"},
                      SizeCase{"1572863", "2.00"},  // rounded twice: 1536 KB, then 2 MB
                      SizeCase{"2621440", "2.00"},  // 2.5 MB: to the even 2
                      SizeCase{"3670016", "4.00"},  // 3.5 MB: to the even 4
                      SizeCase{"5000000", "5.00"}, SizeCase{"1073741824", "1024.00"},
                      SizeCase{"2147483647", "2048.00"}, SizeCase{"-1073741824", "-1024.00"},
                      SizeCase{"", "0.00"}, SizeCase{"abc", "0.00"}));

INSTANTIATE_TEST_SUITE_P(BeyondThirtyTwoBits, FormatSizeMBTable,
                         ::testing::Values(SizeCase{"2147483648",
                                                    "2048.00"},  // 2 GiB shows its real size
                                           SizeCase{"5368709120", "5120.00"},  // 5 GiB
                                           SizeCase{"9223372036854775807", "8796093022208.00"},
                                           SizeCase{"-9223372036854775808", "-8796093022208.00"}));

INSTANTIATE_TEST_SUITE_P(
    LooseText, FormatSizeMBTable,
    ::testing::Values(SizeCase{" 3670016 ", "4.00"},   // blanks are passed over
                      SizeCase{"3 670 016", "4.00"},   // even between digits
                      SizeCase{"3670016xyz", "4.00"},  // reading stops at the first stranger
                      SizeCase{"+5000000", "5.00"},
                      SizeCase{"1048575.5", "1.00"},  // a half byte rounds to the even count
                      SizeCase{"-", "0.00"}));

TEST(FormatSizeMB, UsesTheGivenDecimalSeparator) {
    EXPECT_EQ(doze::FormatSizeMB("3670016", ","), "4,00");
    EXPECT_EQ(doze::FormatSizeMB("0", ","), "0,00");
}

TEST(FormatSizeMB, TextBeyondTheSixtyFourBitRangeIsAConversionFailure) {
    EXPECT_THROW(doze::FormatSizeMB("9223372036854775808"), doze::SizeConversionFailure);
    EXPECT_THROW(doze::FormatSizeMB("-9223372036854775809"), doze::SizeConversionFailure);
    EXPECT_THROW(doze::FormatSizeMB("99999999999999999999999"), doze::SizeConversionFailure);
}

TEST(LocaleDecimalSeparator, IsAPointInTheCLocale) {
    EXPECT_EQ(doze::LocaleDecimalSeparator(), ".");
}

}  // namespace
