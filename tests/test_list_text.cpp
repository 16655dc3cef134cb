// SPDX-License-Identifier: MIT
// What a list says: sizes in megabytes, names masked, measured and escaped,
// and the lines of both writers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "output/catalog_page.h"
#include "output/list_sink.h"
#include "output/list_writers.h"
#include "output/name_text.h"
#include "output/size_format.h"
#include "output/write_failure.h"

namespace {

using Strings = std::vector<std::string>;

TEST(FormatSizeMB, RoundsToKilobytesThenMegabytesHalvesToEven) {
    // Rounded twice, halves to the even count: 1572863 is 1536 KB, then 2 MB;
    // 2.5 and 3.5 MB give 2 and 4. Beyond 32 bits the real size; blanks are
    // passed over, even between digits; reading stops at the first stranger.
    const std::pair<const char*, const char*> cases[] = {
        {"0", "0.00"},
        {"1536", "0.00"},
        {"1048575", "1.00"},
        {"5000000", "5.00"},
        {"524288", "0.00"},
        {"1572863", "2.00"},
        {"2621440", "2.00"},
        {"3670016", "4.00"},
        {"1073741824", "1024.00"},
        {"2147483647", "2048.00"},
        {"-1073741824", "-1024.00"},
        {"2147483648", "2048.00"},
        {"5368709120", "5120.00"},
        {"9223372036854775807", "8796093022208.00"},
        {"-9223372036854775808", "-8796093022208.00"},
        {"", "0.00"},
        {"abc", "0.00"},
        {"-", "0.00"},
        {" 3670016 ", "4.00"},
        {"3 670 016", "4.00"},
        {"3670016xyz", "4.00"},
        {"+5000000", "5.00"},
        {"1048575.5", "1.00"}};
    for (const auto& [size, expected] : cases)
        EXPECT_EQ(doze::FormatSizeMB(size), expected) << size;
    EXPECT_EQ(doze::FormatSizeMB("3670016", ","), "4,00");
    for (const char* text :
         {"9223372036854775808", "-9223372036854775809", "99999999999999999999999"}) {
        EXPECT_THROW(doze::FormatSizeMB(text), doze::SizeConversionFailure) << text;
    }
}

// How a name is counted in characters, escaped for a page and masked for a
// text list (empty: unchanged; invalid UTF-8 read as Windows-1252), keeping the count.
TEST(NameText, CountsMasksAndEscapes) {
    struct Case {
        std::string text;
        std::size_t characters;
        std::string html, masked = {};
    };
    const Case cases[] = {
        {"", 0, ""},
        {"plain.mp3", 9, "plain.mp3"},
        {"&<>\"'", 5, "&amp;&lt;&gt;&quot;&#39;"},
        {"caf\xc3\xa9", 4, "caf&#233;"},             // two-byte sequence
        {"\xe2\x99\xab", 1, "&#9835;"},              // three bytes
        {"\xf0\x9f\x8e\xb5", 1, "&#127925;"},        // four bytes
        {"caf\xe9", 4, "caf&#233;", "caf\xc3\xa9"},  // Windows-1252 bytes
        {"\x93q\x94\x80\x9f", 5, "&#147;q&#148;&#128;&#159;",
         "\xe2\x80\x9cq\xe2\x80\x9d\xe2\x82\xac\xc5\xb8"},
        {"\x81\x8d\x8f\x90\x9d\xff", 6, "&#129;&#141;&#143;&#144;&#157;&#255;", "?????\xc3\xbf"},
        {"\xc3", 1, "&#195;", "\xc3\x83"},                    // cut short at the end
        {"\xc3(", 2, "&#195;(", "\xc3\x83("},                 // bad continuation
        {"\xc0\xaf", 2, "&#192;&#175;", "\xc3\x80\xc2\xaf"},  // overlong forms
        {"\xe0\x80\xaf", 3, "&#224;&#128;&#175;", "\xc3\xa0\xe2\x82\xac\xc2\xaf"},
        {"\xf0\x80\x80\xaf", 4, "&#240;&#128;&#128;&#175;",
         "\xc3\xb0\xe2\x82\xac\xe2\x82\xac\xc2\xaf"},
        // the least three- and four-byte forms, and the overlong ones just below
        {"\xe0\xa0\x80\xe0\x9f\xbf", 4, "&#2048;&#224;&#159;&#191;",
         "\xe0\xa0\x80\xc3\xa0\xc5\xb8\xc2\xbf"},
        {"\xf0\x90\x80\x80\xf0\x8f\xbf\xbf", 5, "&#65536;&#240;&#143;&#191;&#191;",
         "\xf0\x90\x80\x80\xc3\xb0?\xc2\xbf\xc2\xbf"},
        {"\xed\xa0\x80", 3, "&#237;&#160;&#128;", "\xc3\xad\xc2\xa0\xe2\x82\xac"},  // surrogate
        {"\xf4\x90\x80", 3, "&#244;&#144;&#128;", "\xc3\xb4?\xe2\x82\xac"},         // past U+10FFFF
        {"a\tb\r\nc\x01\x1f\x7f", 9, "a?b??c???", "a?b??c???"},
        // C1 controls and the Unicode line and paragraph separators
        {"a\xc2\x80-\xc2\x85\xc2\x9f\xc2\xa0", 6, "a?-??&#160;", "a?-??\xc2\xa0"},
        {"x\xe2\x80\xa8y\xe2\x80\xa9\xe2\x80\xaa", 5, "x?y?&#8234;", "x?y?\xe2\x80\xaa"},
        // bytes 0x80-0x9F outside valid UTF-8 are no controls
        {"\x85\x9f", 2, "&#133;&#159;", "\xe2\x80\xa6\xc5\xb8"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.text));
        EXPECT_EQ(doze::CountCharacters(c.text), c.characters);
        EXPECT_EQ(doze::HtmlEscape(c.text), c.html);
        const std::string masked = doze::MaskControls(c.text);
        EXPECT_EQ(masked, c.masked.empty() ? c.text : c.masked);
        EXPECT_EQ(doze::CountCharacters(masked), c.characters);
        EXPECT_EQ(doze::MaskControls(masked), masked) << "not valid UTF-8: " << masked;
    }
}

// Collects what a writer writes, and the counts it reports.
class Memory : public doze::ListSink, public doze::CompletionReporter {
  public:
    void Write(std::string_view bytes) override { text += bytes; }
    doze::Committed Commit() override {
        committed = true;
        return doze::Committed::Stored;
    }
    std::string Name() const override { return "memory"; }
    void ListComplete(std::int32_t count) override { counts.push_back(count); }
    std::string text;
    bool committed = false;
    std::vector<std::int32_t> counts;
};

// What `format` writes for `entries` found below `root`, with `audio`, and
// the count (-1 when writing failed). A list written was committed and its
// count reported once; a failed one was neither.
std::pair<std::string, std::int32_t> Render(doze::ListFormat format, const std::string& root,
                                            const Strings& entries,
                                            const std::vector<doze::AudioFacts>* audio = nullptr) {
    doze::EntryList list;
    list.Dimension(static_cast<std::int32_t>(entries.size()));
    for (const std::string& entry : entries) list.Store(list.Stored() + 1, entry);
    Memory memory;
    try {
        const std::int32_t count = *WriteList(format, {root, &list, ".", audio}, memory, memory);
        EXPECT_TRUE(memory.committed);
        EXPECT_EQ(memory.counts, std::vector<std::int32_t>{count});
        return {memory.text, count};
    } catch (const doze::WriteFailure&) {
        EXPECT_TRUE(!memory.committed && memory.counts.empty());
        return {"", -1};
    }
}

// The same, its lines without their CR LF, each of which must end one.
std::pair<Strings, std::int32_t> Write(doze::ListFormat format, const std::string& root,
                                       const Strings& entries) {
    const auto [text, count] = Render(format, root, entries);
    Strings lines;
    std::size_t pos = 0, end = 0;
    for (; (end = text.find("\r\n", pos)) != std::string::npos; pos = end + 2) {
        lines.push_back(text.substr(pos, end - pos));
    }
    EXPECT_EQ(pos, text.size()) << "the text must end in CR LF";
    return {lines, count};
}

// The name padded so that its size starts in column 60.
std::string FileLine(const std::string& name, const std::string& size) {
    return name + std::string(59 - name.size(), ' ') + size + " MB";
}

TEST(WriteTextList, ColumnRuleForLongNamesCountsCharactersNotBytes) {
    const std::string name59(59, 'a'), name60(60, 'b');
    const std::string accented = "caf\xc3\xa9";  // 4 characters, 5 bytes
    const std::string invalid = "\xff\xfe.mp3";  // each bad byte counts as one, in UTF-8
    const auto [lines, count] =
        Write(doze::ListFormat::Text, "/M",
              {name59 + "|0", name60 + "|0", accented + "|0", invalid + "|0"});
    ASSERT_EQ(lines.size(), 10u);  // a list ending in a file ends with its line
    EXPECT_EQ(Strings(lines.begin() + 5, lines.end()),
              (Strings{name59 + "0.00 MB", name60, std::string(59, ' ') + "0.00 MB",
                       accented + std::string(55, ' ') + "0.00 MB",
                       "\xc3\xbf\xc3\xbe.mp3" + std::string(53, ' ') + "0.00 MB"}));
    EXPECT_EQ(count, 4);
    // An unconvertible size fails without commit or report.
    EXPECT_EQ(Write(doze::ListFormat::Text, "/M", {"a.mp3|1", "b.mp3|99999999999999999999"}).second,
              -1);
}

TEST(WriteTextList, HostileNamesStayOnTheirLines) {
    const auto [lines, count] = Write(doze::ListFormat::Text, "/M\ttab",
                                      {"new\nline.mp3|0", "a|b.mp3|1572863", "back\\slash.mp3|0",
                                       "/M\ttab/sub\rdir", "x\x7f\xc2\x85\xe2\x80\xa9.mp3|0"});
    EXPECT_EQ(count, 4);
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[3], "/M?tab");
    EXPECT_EQ(Strings(lines.begin() + 5, lines.end()),
              (Strings{FileLine("new?line.mp3", "0.00"),
                       FileLine("a|b.mp3", "2.00"),  // the last "|" splits off the size
                       FileLine("back\\slash.mp3", "0.00"), "", "/M?tab/sub?dir", "",
                       FileLine("x???.mp3", "0.00")}));
}

const Strings kHead = {
    "<HTML>",
    "<BODY>",
    "<P>",
    "<B>MP3 List Generated by:  Vovezaduvu's Dozedozovo<BR>",
    "Get your copy at <A HREF='https://vovezaduvu.example/dozedozovo'>Vovezaduvu Software</A></B>",
    "<BR><BR>"};
const Strings kTail = {"</P>", "</TABLE>", "</BODY>", "</HTML>"};
const std::string kTable = "<TABLE WIDTH=100% BORDER=1>";

Strings Row(const std::string& name, const std::string& size) {
    return {"<TR>", "<TD WIDTH=50%>" + name + "</TD>", "<TD WIDTH=50%>" + size + " MB</TD>",
            "</TR>", ""};
}

Strings Join(std::initializer_list<Strings> parts) {
    Strings out;
    for (const Strings& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

TEST(WriteHtmlList, TheSamplePageLineForLine) {
    const auto [lines, count] =
        Write(doze::ListFormat::Html, "/Music",
              {"intro.mp3|3670016", "/Music/Rock", "riff.mp3|2621440", "solo.mp3|5000000"});
    EXPECT_EQ(lines, Join({kHead,
                           {"<B>/Music</B>", kTable},
                           Row("intro.mp3", "4.00"),
                           {""},
                           {"</TABLE><BR><BR>", "<B>/Music/Rock</B>", kTable},
                           Row("riff.mp3", "2.00"),
                           Row("solo.mp3", "5.00"),
                           kTail}));
    EXPECT_EQ(count, 3);
}

TEST(WriteHtmlList, FirstEntryAFolderMeansNoRootHeadingAndAnEmptyFirstTable) {
    const auto [lines, count] =
        Write(doze::ListFormat::Html, "/M", {"/M/a", "/M/a/b", "x.mp3|0", "/M/c"});
    EXPECT_EQ(lines, Join({kHead,
                           {kTable},
                           {"</TABLE><BR><BR>", "<B>/M/a/b</B>", kTable},
                           Row("x.mp3", "0.00"),
                           {""},
                           kTail}));
    EXPECT_EQ(count, 1);
}

// Root, folder paths and names alike (how each character is escaped: NameText).
TEST(WriteHtmlList, NamesPathsAndRootAreEscaped) {
    const auto [lines, count] = Write(doze::ListFormat::Html, "/M&<R>",
                                      {"<script>alert('x').mp3|0", "/M&<R>/\"q\"", "\xe9.mp3|0"});
    ASSERT_EQ(lines.size(), 26u);
    EXPECT_EQ(lines[6], "<B>/M&amp;&lt;R&gt;</B>");
    EXPECT_EQ(lines[9], "<TD WIDTH=50%>&lt;script&gt;alert(&#39;x&#39;).mp3</TD>");
    EXPECT_EQ(lines[15], "<B>/M&amp;&lt;R&gt;/&quot;q&quot;</B>");
    EXPECT_EQ(lines[18], "<TD WIDTH=50%>&#233;.mp3</TD>");
}

// The bytes `format` writes for `entries` found below "/M", with `audio`.
std::string Bytes(doze::ListFormat format, const Strings& entries,
                  const std::vector<doze::AudioFacts>* audio = nullptr) {
    return Render(format, "/M", entries, audio).first;
}

// Rows of files only, each with its folder; guarded, quoted and repaired fields.
TEST(WriteCsvList, OneRowPerFileWithItsFolder) {
    EXPECT_EQ(
        Bytes(doze::ListFormat::Csv,
              {"=sum(1).mp3|3", "/M/a,b", "/M/a,b/\"q\"", "x\ny.mp3|5", "-\xff.mp3|0"}),
        "folder,name,bytes\r\n/M,'=sum(1).mp3,3\r\n"
        "\"/M/a,b/\"\"q\"\"\",\"x\ny.mp3\",5\r\n\"/M/a,b/\"\"q\"\"\",'-\xef\xbf\xbd.mp3,0\r\n");
}

TEST(WriteCsvList, AudioColumnsEmptyWhereUnknown) {
    doze::AudioFacts known;
    known.durationMs = 60000;
    known.durationExact = true;
    known.bitrateKbps = 128;
    known.vbr = false;
    known.sampleRate = 44100;
    known.channels = 2;
    known.artist = "A, B";
    known.track = 3;
    known.genre = "Rock";
    const std::vector<doze::AudioFacts> audio = {known, {}};
    EXPECT_EQ(Bytes(doze::ListFormat::Csv, {"a.mp3|1", "b.mp3|2"}, &audio),
              "folder,name,bytes,duration_ms,duration_exact,bitrate_kbps,vbr,sample_rate,"
              "channels,artist,album,title,track,year,genre\r\n"
              "/M,a.mp3,1,60000,true,128,false,44100,2,\"A, B\",,,3,,Rock\r\n"
              "/M,b.mp3,2,,,,,,,,,,,,\r\n");
}

// Folders with files of their own, in list order, each with its totals; a
// duration total only where every file has a duration; invalid UTF-8 kept in hex.
TEST(WriteJsonList, FoldersFilesAndTotals) {
    doze::AudioFacts timed;
    timed.durationMs = 1500;
    timed.title = "T\"<";
    const std::vector<doze::AudioFacts> audio = {timed, timed, {}};
    const std::string nulls =
        "\"bitrate_kbps\": null, \"vbr\": null, \"sample_rate\": null, \"channels\": null, "
        "\"artist\": null, \"album\": null, ";
    const std::string more = "\"track\": null, \"year\": null, \"genre\": null}";
    EXPECT_EQ(
        Bytes(doze::ListFormat::Json,
              {"/M/a", "x\x1b.mp3|1", "/M/a/b", "/M/\xff", "y.mp3|2", "z|3"}, &audio),
        "{\"generator\": \"dozedozovo-list " DOZE_VERSION
        "\", \"root\": \"/M\",\n \"folders\": [\n"
        "  {\"path\": \"/M/a\", \"files\": [\n"
        "   {\"name\": \"x\\u001b.mp3\", \"bytes\": 1, \"duration_ms\": 1500, \"duration_exact\": "
        "false, " +
            nulls + "\"title\": \"T\\\"<\", " + more +
            "\n  ], \"totals\": {\"files\": 1, \"bytes\": 1, \"duration_ms\": 1500}},\n"
            "  {\"path\": \"/M/\xef\xbf\xbd\", \"path_hex\": \"2f4d2fff\", \"files\": [\n"
            "   {\"name\": \"y.mp3\", \"bytes\": 2, \"duration_ms\": 1500, \"duration_exact\": "
            "false, " +
            nulls + "\"title\": \"T\\\"<\", " + more +
            ",\n   {\"name\": \"z\", \"bytes\": 3, \"duration_ms\": null, \"duration_exact\": "
            "null, " +
            nulls + "\"title\": null, " + more +
            "\n  ], \"totals\": {\"files\": 2, \"bytes\": 5, \"duration_ms\": null}}\n ],\n"
            " \"totals\": {\"files\": 3, \"folders\": 2, \"bytes\": 6, \"duration_ms\": null}}\n");
}

TEST(WriteCatalogList, HoldsTheJsonDocumentWithoutAnEndOfScript) {
    std::string json = Bytes(doze::ListFormat::Json, {"/M/<&>", "x.mp3|1"});
    json.replace(json.find("<&>"), 3, "\\u003c\\u0026\\u003e");  // escaped inside the page
    EXPECT_EQ(Bytes(doze::ListFormat::Catalog, {"/M/<&>", "x.mp3|1"}),
              std::string(doze::kCatalogHead) + json + std::string(doze::kCatalogTail));
}

}  // namespace
