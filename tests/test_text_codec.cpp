#include <gtest/gtest.h>

#include <string>

#include "output/text_codec.h"

namespace {

struct CodecCase {
    std::string text;
    std::size_t characters;
    std::string html;
};

class TextCodecTable : public ::testing::TestWithParam<CodecCase> {};

TEST_P(TextCodecTable, CountsAndEscapes) {
    EXPECT_EQ(doze::CountCharacters(GetParam().text), GetParam().characters);
    EXPECT_EQ(doze::HtmlEscape(GetParam().text), GetParam().html);
}

INSTANTIATE_TEST_SUITE_P(
    Names, TextCodecTable,
    ::testing::Values(CodecCase{"", 0, ""}, CodecCase{"plain.mp3", 9, "plain.mp3"},
                      CodecCase{"&<>\"'", 5, "&amp;&lt;&gt;&quot;&#39;"},
                      CodecCase{"caf\xc3\xa9", 4, "caf&#233;"},            // two-byte sequence
                      CodecCase{"\xe2\x99\xab", 1, "&#9835;"},             // three bytes
                      CodecCase{"\xf0\x9f\x8e\xb5", 1, "&#127925;"},       // four bytes
                      CodecCase{"\xe9t\xe9", 3, "&#233;t&#233;"},          // Latin-1 bytes
                      CodecCase{"\xc3", 1, "&#195;"},                      // cut short at the end
                      CodecCase{"\xc3(", 2, "&#195;("},                    // bad continuation
                      CodecCase{"\xc0\xaf", 2, "&#192;&#175;"},            // overlong form
                      CodecCase{"\xed\xa0\x80", 3, "&#237;&#160;&#128;"},  // a surrogate
                      CodecCase{"\xf4\x90\x80\x80", 4,
                                "&#244;&#144;&#128;&#128;"},  // past U+10FFFF
                      CodecCase{"a\tb\nc\x7f", 6, "a?b?c?"}));

TEST(MaskControls, ReplacesControlBytesOnly) {
    EXPECT_EQ(doze::MaskControls("a\tb\r\nc\x01\x1f\x7f d\xc3\xa9"), "a?b??c??? d\xc3\xa9");
}

}  // namespace
