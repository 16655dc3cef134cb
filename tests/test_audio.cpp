// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "audio/audio_facts.h"
#include "test_support/mp3_files.h"

namespace {

using namespace doze::test;
using doze::AudioFacts;
using namespace std::string_literals;

std::int64_t bytesRead = 0;
bool failReads = false;

ssize_t CountingPread(int fd, void* buffer, std::size_t size, off_t offset) {
    if (failReads) return errno = EIO, -1;
    const ssize_t got = ::pread(fd, buffer, size, offset);
    if (got > 0) bytesRead += got;
    return got;
}

// How a row's duration is checked against the audio encoded. Gapless: within 1 ms (the LAME tag
// gives delay and padding). Counted: frames counted, so the stream's whole length: the audio plus
// LAME's encoder delay (576 samples) and the decoder delay (529) it makes room for, rounded up to
// a whole frame, which a file without a LAME tag does not tell apart. Estimate: within 5 % of that.
enum class Length { Unknown, Gapless, Counted, Estimate };

struct Row {
    const char* name;
    Encoding audio = {"-b 128 -m m", 44100, 2};
    Length length = Length::Gapless;
    std::optional<bool> vbr = false;
    int kbps = 128;                      // 0: the audio's bytes over its length, within 5 %
    bool exact = false;                  // count frames
    std::string before{}, after{};       // bytes around the audio
    void (*change)(Mp3File&) = nullptr;  // and what is done to the file then
    std::string tags = "|||||";          // artist|album|title|genre|track|year
    std::string problem{};
    bool unreadable = false;  // every read fails
};

// A 2 s CBR file at 128 kbit/s with `before` and `after` around it.
Row Tagged(const char* name, std::string before, std::string after, const char* tags,
           const char* problem = "") {
    return {.name = name, .before = before, .after = after, .tags = tags, .problem = problem};
}

void PrintTo(const Row& row, std::ostream* out) {
    *out << row.name;
}

std::string TagLine(const AudioFacts& f) {
    const auto n = [](std::optional<int> v) { return v ? std::to_string(*v) : ""; };
    return f.artist.value_or("") + "|" + f.album.value_or("") + "|" + f.title.value_or("") + "|" +
           f.genre.value_or("") + "|" + n(f.track) + "|" + n(f.year);
}

// The six fields we list as frames of one ID3v2 version, texts in one encoding.
std::string Fields(int version, int encoding, const std::array<std::u32string, 6>& texts) {
    const char* ids[3][6] = {{"TP1", "TAL", "TT2", "TCO", "TRK", "TYE"},
                             {"TPE1", "TALB", "TIT2", "TCON", "TRCK", "TYER"},
                             {"TPE1", "TALB", "TIT2", "TCON", "TRCK", "TDRC"}};
    std::string out;
    for (std::size_t i = 0; i < 6; ++i)
        out += Id3v2Frame(version, ids[version - 2][i], TextBody(encoding, texts[i]));
    return out;
}

// An APEv2 tag without a header: three text items (value size, flags, key, value) and the footer.
std::string ApeTag() {
    const auto le = [](std::size_t n) { return BigEndian(static_cast<std::uint32_t>(n), true); };
    const std::string items = le(4) + le(0) + "Artist\0Åpe"s + le(4) + le(0) + "Title\0Song"s +
                              le(1) + le(0) +
                              "Track\0"
                              "4"s;
    return items + "APETAGEX" + le(2000) + le(items.size() + 32) + le(3) + std::string(12, '\0');
}

// A title frame of version 3 or 4, in ISO-8859-1.
std::string Title(int version, const std::u32string& text) {
    return Id3v2Frame(version, "TIT2", TextBody(0, text));
}

// Writes `bytes` over `file` where `marker` is, `offset` bytes on.
void Patch(Mp3File& file, const char* marker, std::size_t offset, const std::string& bytes) {
    file.bytes.replace(file.bytes.find(marker) + offset, bytes.size(), bytes);
}

// clang-format off
const Row kRows[] = {
    // Lengths: from a frame count with LAME's delay and padding, counted, or estimated.
    {"cbr_stereo", {"-b 128 -m j", 44100, 3, 0, 2}},
    {"vbr_xing_lame", {"-V 4 -m m", 44100, 3}, Length::Gapless, true, 0},
    {"vbr_without_xing", {"-V 4 -m m -t", 44100, 3}, Length::Estimate, true, 0},
    {"vbr_without_xing_counted", {"-V 4 -m m -t", 44100, 3}, Length::Counted, true, 0, true},
    {"mpeg2_22050_vbr", {"-V 4 -m m", 22050, 3}, Length::Gapless, true, 0},
    {"mpeg2_22050_without_xing_counted", {"-V 4 -m m -t", 22050, 3}, Length::Counted, true, 0, true},
    {"mpeg25_11025_cbr", {"-b 32 -m m", 11025, 3}, Length::Gapless, false, 32},
    {"mpeg25_8000_vbr", {"-V 6 -m m", 8000, 3}, Length::Gapless, true, 0},
    {"silence_then_tone_without_xing", {"-V 4 -m m -t", 44100, 6, 4}, Length::Estimate, true, 0},
    {"silence_then_tone_counted", {"-V 4 -m m -t", 44100, 6, 4}, Length::Counted, true, 0, true},
    Tagged("junk_before_first_frame",
           Id3v2Tag(3, 0, "") + "\xFF\xFB\x90\xC0"s + std::string(600, 'J') + "\xFF\xFB\x90", "", "|||||"),
    // Tags: every version and text encoding, and what a tag may hold around its frames.
    Tagged("id3v22_latin1", Id3v2Tag(2, 0, Fields(2, 0, {U"Åsa", U"Café", U"Über", U"(17)", U"3/12", U"1999"})),
           "", "Åsa|Café|Über|Rock|3|1999"),
    Tagged("id3v22_utf16_bom", Id3v2Tag(2, 0, Fields(2, 1, {U"Žofia", U"Ωmega", U"Ščít 🎵", U"Ambient", U"01", U"2022"})),
           "", "Žofia|Ωmega|Ščít 🎵|Ambient|1|2022"),
    Tagged("id3v23_utf16_bom", Id3v2Tag(3, 0, Fields(3, 1, {U"Анна 🎵", U"Альбом", U"Песня", U"17", U"7", U"2001"})),
           "", "Анна 🎵|Альбом|Песня|Rock|7|2001"),
    Tagged("id3v24_utf16be", Id3v2Tag(4, 0, Fields(4, 2, {U"李四", U"专辑", U"歌", U"(79)Heavy Rock", U"12/20",
                                                           U"2004-05-06"})), "", "李四|专辑|歌|Heavy Rock|12|2004"),
    Tagged("id3v24_utf8", Id3v2Tag(4, 0, Fields(4, 3, {U"Zoë 🎵", U"Ærø", U"Ça", U"Indie Folk", U"1", U"2010"})),
           "", "Zoë 🎵|Ærø|Ça|Indie Folk|1|2010"),
    Tagged("id3v23_unsynchronised", Id3v2Tag(3, 0x80, Unsynchronised(Fields(3, 1, {U"ÿÿ", U"Ÿ", U"ÿ"}))), "",
           "ÿÿ|Ÿ|ÿ|||"),
    Tagged("id3v24_frame_unsynchronised",
           Id3v2Tag(4, 0, Id3v2Frame(4, "TIT2", Syncsafe(7) + Unsynchronised(TextBody(1, U"ÿes")), 3)), "", "||ÿes|||"),
    Tagged("id3v23_extended_header",
           Id3v2Tag(3, 0x40, BigEndian(6) + std::string(6, '\0') + Title(3, U"Ext")), "", "||Ext|||"),
    Tagged("id3v24_extended_header_footer",
           Id3v2Tag(4, 0x50, Syncsafe(6) + "\x01\x00"s + Title(4, U"Foot")) + "3DI\x04\x00\x50\x00\x00\x00\x15"s, "",
           "||Foot|||"),
    Tagged("id3v24_plain_frame_sizes", Id3v2Tag(4, 0, Id3v2Frame(4, "COMM", "\0eng"s + std::string(300, 'c'), 0, true) +
                                                          Id3v2Frame(4, "TIT2", TextBody(0, U"Plain"), 0, true)),
           "", "||Plain|||"),
    Tagged("cover_600k_tags_after_it", Id3v2Tag(3, 0, Title(3, U"Front") + Id3v2Frame(3, "APIC", std::string(600'000,
           'p')) + Fields(3, 0, {U"After", U"Cover"})), "", "After|Cover|Front|||"),
    Tagged("padding_1m", Id3v2Tag(4, 0, Title(4, U"Pad") + std::string(1 << 20, '\0')), "", "||Pad|||"),
    Tagged("id3v1_only", "", Id3v1Tag("Caf\xE9", "Art", "Alb", "1987", 5, 17), "Art|Alb|Café|Rock|5|1987"),
    Tagged("id3v2_before_id3v1", Id3v2Tag(3, 0, Title(3, U"Two")), Id3v1Tag("One", "Art", "", "", 0, 255),
           "Art||Two|||"),
    Tagged("ape_tag", "", ApeTag(), "Åpe||Song||4|"),
    Tagged("no_tags", "", "", "|||||"),
    // Hostile files: what cannot be read stays unknown, and the problem is named.
    {.name = "empty", .length = Length::Unknown, .vbr = {}, .change = [](Mp3File& f) { f.bytes.clear(); },
     .problem = "it is empty"},
    {.name = "garbage", .length = Length::Unknown, .vbr = {}, .change = [](Mp3File& f) {
         for (char& c : f.bytes) c = "\xFF\xE3\x2C\x91\x07\xFB"[(&c - f.bytes.data()) * 7 % 6]; },
     .problem = "no MPEG audio frame found"},
    {.name = "cut_in_half", .audio = {"-V 4 -m m", 44100, 4}, .length = Length::Estimate, .vbr = true, .kbps = 0,
     .change = [](Mp3File& f) { f.bytes.resize(f.bytes.size() / 2), f.samples /= 2, f.audioBytes /= 2; },
     .problem = "its audio is cut short"},
    {.name = "id3v2_size_past_end", .length = Length::Unknown, .vbr = {}, .before = Id3v2Tag(4, 0, Title(4, U"Big")),
     .change = [](Mp3File& f) { Patch(f, "ID3", 6, "\x7F\x7F\x7F\x7F"); }, .tags = "||Big|||",
     .problem = "its ID3v2 tag is cut short"},
    Tagged("frame_size_2_28", Id3v2Tag(4, 0, Title(4, U"Ok") + "TALB\x7F\x7F\x7F\x7F\0\0\0x"s), "", "||Ok|||",
           "its ID3v2 tag holds a frame that runs past the tag's end"),
    Tagged("broken_utf16", Id3v2Tag(3, 0, Id3v2Frame(3, "TIT2", "\x01\xFF\xFE\x00\xD8" "A\0"s) +
                                      Id3v2Frame(3, "TPE1", "\x01\xFF\xFEO\0K"s)),
           "", "O\uFFFD||\uFFFDA|||", "its ID3v2 tag holds text that is not valid"),
    {.name = "xing_counts_no_frames", .length = Length::Estimate,
     .change = [](Mp3File& f) { Patch(f, "Info", 8, BigEndian(0)); }, .problem = "its Xing header counts no frames"},
    {.name = "xing_counts_2_32", .length = Length::Estimate,
     .change = [](Mp3File& f) { Patch(f, "Info", 8, BigEndian(0xFFFFFFFF)); },
     .problem = "its Xing header counts more frames than the file holds"},
    {.name = "lame_delay_past_length", .audio = {"-b 128 -m m", 44100, 0.05}, .length = Length::Counted,
     .change = [](Mp3File& f) { Patch(f, "LAME", 21, "\xFF\xFF\xFF"); },
     .problem = "its LAME tag's delay and padding exceed its length"},
    {.name = "unreadable", .length = Length::Unknown, .vbr = {}, .problem = "it cannot be read: Input/output error",
     .unreadable = true},
};
// clang-format on

Mp3File Make(const Row& row) {
    Mp3File file = Encode(row.audio);
    file.bytes = row.before + file.bytes + row.after;
    if (row.change != nullptr) row.change(file);
    return file;
}

class AudioFile : public testing::TestWithParam<Row> {};

TEST_P(AudioFile, ReadsWhatItHolds) {
    if (std::system("lame --version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "Debian's lame is not installed: no test audio can be made";
    const Row& row = GetParam();
    const Mp3File file = Make(row);
    const int fd = ::memfd_create("file.mp3", 0);
    ASSERT_EQ(::write(fd, file.bytes.data(), file.bytes.size()), std::ssize(file.bytes));
    bytesRead = 0;
    failReads = row.unreadable;
    const auto read = doze::ReadAudioFacts(fd, static_cast<std::int64_t>(file.bytes.size()),
                                           {row.exact, CountingPread});
    ::close(fd);
    const AudioFacts& facts = read.facts;
    EXPECT_EQ(read.problem, row.problem);
    EXPECT_EQ(TagLine(facts), row.tags);
    EXPECT_LE(row.exact ? 0 : bytesRead, doze::kAudioReadBudget) << "bytes read";
    EXPECT_EQ(facts.vbr, row.vbr);
    if (row.length == Length::Unknown) {
        EXPECT_FALSE(facts.durationMs || facts.sampleRate || facts.channels || facts.bitrateKbps);
        return;
    }
    ASSERT_TRUE(facts.durationMs);
    EXPECT_EQ(facts.sampleRate, file.rate);
    EXPECT_EQ(facts.channels, file.channels);
    EXPECT_EQ(facts.durationExact, row.length != Length::Estimate);
    const double ms = static_cast<double>(file.samples) * 1000 / file.rate;
    const double frameMs = (file.rate < 32000 ? 576 : 1152) * 1000.0 / file.rate;
    const double stream = ms + (576 + 529) * 1000.0 / file.rate + frameMs / 2;  // about
    const auto duration = static_cast<double>(*facts.durationMs);
    const bool gapless = row.length == Length::Gapless, counted = row.length == Length::Counted;
    EXPECT_NEAR(duration, gapless ? ms : stream,
                gapless ? 1 : (counted ? frameMs / 2 + 1 : ms / 20));
    const double average = static_cast<double>(file.audioBytes) * 8 / stream;
    EXPECT_NEAR(facts.bitrateKbps.value_or(0), row.kbps != 0 ? row.kbps : average,
                row.kbps != 0 ? 0 : 0.05 * average);
}

INSTANTIATE_TEST_SUITE_P(Mp3, AudioFile, testing::ValuesIn(kRows),
                         [](const testing::TestParamInfo<Row>& row) {
                             return std::string(row.param.name);
                         });

}  // namespace

// With --write-corpus FOLDER: writes the table's files of up to 64 KiB there, as seeds for the
// reader's fuzz target, instead of testing.
int main(int argc, char** argv) {
    if (argc != 3 || std::string(argv[1]) != "--write-corpus") {
        testing::InitGoogleTest(&argc, argv);
        return RUN_ALL_TESTS();
    }
    for (const Row& row : kRows) {
        const Mp3File file = Make(row);
        if (file.bytes.size() <= 65536) std::ofstream(argv[2] + "/"s + row.name) << file.bytes;
    }
}
