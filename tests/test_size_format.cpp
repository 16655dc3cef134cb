#include <gtest/gtest.h>

#include "output/size_format.h"
#include "output/write_failure.h"

namespace {

TEST(FormatSizeMB, RoundsToKilobytesThenMegabytesHalvesToEven) {
    struct Case {
        const char* sizeText;
        const char* expected;
    };
    const Case cases[] = {{"0", "0.00"},
                          {"1536", "0.00"},
                          {"1048575", "1.00"},
                          {"5000000", "5.00"},
                          {"524288", "0.00"},   // half a megabyte: to the even 0
                          {"1572863", "2.00"},  // rounded twice: 1536 KB, then 2 MB
                          {"2621440", "2.00"},  // 2.5 MB: to the even 2
                          {"3670016", "4.00"},  // 3.5 MB: to the even 4
                          {"1073741824", "1024.00"},
                          {"2147483647", "2048.00"},
                          {"-1073741824", "-1024.00"},
                          {"2147483648", "2048.00"},  // beyond 32 bits: the real size
                          {"5368709120", "5120.00"},
                          {"9223372036854775807", "8796093022208.00"},
                          {"-9223372036854775808", "-8796093022208.00"},
                          {"", "0.00"},
                          {"abc", "0.00"},
                          {"-", "0.00"},
                          {" 3670016 ", "4.00"},   // blanks are passed over
                          {"3 670 016", "4.00"},   // even between digits
                          {"3670016xyz", "4.00"},  // reading stops at the first stranger
                          {"+5000000", "5.00"},
                          {"1048575.5", "1.00"}};  // a half byte rounds to the even count
    for (const Case& c : cases) {
        EXPECT_EQ(doze::FormatSizeMB(c.sizeText), c.expected) << c.sizeText;
    }
    EXPECT_EQ(doze::FormatSizeMB("3670016", ","), "4,00");
}

TEST(FormatSizeMB, TextBeyondTheSixtyFourBitRangeIsAConversionFailure) {
    for (const char* text :
         {"9223372036854775808", "-9223372036854775809", "99999999999999999999999"}) {
        EXPECT_THROW(doze::FormatSizeMB(text), doze::SizeConversionFailure) << text;
    }
}

}  // namespace
