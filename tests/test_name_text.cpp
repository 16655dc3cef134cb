#include <gtest/gtest.h>

#include <string>

#include "output/name_text.h"

namespace {

struct CodecCase {
    std::string text;
    std::size_t characters;
    std::string html;
    std::string masked = {};  // as a text list shows it; empty: the text unchanged
};

class TextCodecTable : public ::testing::TestWithParam<CodecCase> {};

TEST_P(TextCodecTable, CountsMasksAndEscapes) {
    const CodecCase& c = GetParam();
    EXPECT_EQ(doze::CountCharacters(c.text), c.characters);
    EXPECT_EQ(doze::HtmlEscape(c.text), c.html);
    const std::string masked = doze::MaskControls(c.text);
    EXPECT_EQ(masked, c.masked.empty() ? c.text : c.masked);
    EXPECT_EQ(doze::CountCharacters(masked), c.characters);
}

INSTANTIATE_TEST_SUITE_P(
    Names, TextCodecTable,
    ::testing::Values(
        CodecCase{"", 0, ""}, CodecCase{"plain.mp3", 9, "plain.mp3"},
        CodecCase{"&<>\"'", 5, "&amp;&lt;&gt;&quot;&#39;"},
        CodecCase{"caf\xc3\xa9", 4, "caf&#233;"},                      // two-byte sequence
        CodecCase{"\xe2\x99\xab", 1, "&#9835;"},                       // three bytes
        CodecCase{"\xf0\x9f\x8e\xb5", 1, "&#127925;"},                 // four bytes
        CodecCase{"\xe9t\xe9", 3, "&#233;t&#233;"},                    // Latin-1 bytes
        CodecCase{"\xc3", 1, "&#195;"},                                // cut short at the end
        CodecCase{"\xc3(", 2, "&#195;("},                              // bad continuation
        CodecCase{"\xc0\xaf", 2, "&#192;&#175;"},                      // overlong form
        CodecCase{"\xed\xa0\x80", 3, "&#237;&#160;&#128;"},            // a surrogate
        CodecCase{"\xf4\x90\x80\x80", 4, "&#244;&#144;&#128;&#128;"},  // past U+10FFFF
        CodecCase{"a\tb\r\nc\x01\x1f\x7f", 9, "a?b??c???", "a?b??c???"},
        // C1 controls and the Unicode line and paragraph separators
        CodecCase{"a\xc2\x80-\xc2\x85\xc2\x9f\xc2\xa0", 6, "a?-??&#160;", "a?-??\xc2\xa0"},
        CodecCase{"x\xe2\x80\xa8y\xe2\x80\xa9\xe2\x80\xaa", 5, "x?y?&#8234;", "x?y?\xe2\x80\xaa"},
        // bytes 0x80-0x9F outside valid UTF-8 are no controls
        CodecCase{"\x85\x9f", 2, "&#133;&#159;"}));

}  // namespace
