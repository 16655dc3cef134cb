// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>

namespace doze::test {

// An MP3 file made for a test, and what went into it: samples a channel, sample rate, channels,
// the bytes lame wrote.
struct Mp3File {
    std::string bytes;
    std::int64_t samples = 0;
    int rate = 0, channels = 1;
    std::int64_t audioBytes = 0;
};

// Audio for lame: its options (e.g. "-V 4 -t"), sample rate, seconds of a tone under swelling
// noise after seconds of silence, channels.
struct Encoding {
    const char* options;
    int rate;
    double seconds, silence = 0;
    int channels = 1;
};
Mp3File Encode(const Encoding& audio);

// ID3 pieces: a tag around `body` (frames, or an extended header and frames); a frame of version
// 2, 3 or 4 (its size a plain number in 2.4 with `plainSize`); a text frame's body in `encoding`
// (0 ISO-8859-1, 1 UTF-16 with a BOM, 2 UTF-16BE, 3 UTF-8); bytes unsynchronised; an ID3v1.1 tag.
std::string Id3v2Tag(int version, int flags, const std::string& body);
std::string Id3v2Frame(int version, const std::string& id, const std::string& body, int flags = 0,
                       bool plainSize = false);
std::string TextBody(int encoding, const std::u32string& text);
std::string Unsynchronised(const std::string& bytes);
std::string Id3v1Tag(const std::string& title, const std::string& artist, const std::string& album,
                     const std::string& year, int track, int genre);
std::string Syncsafe(std::uint32_t value);
std::string BigEndian(std::uint32_t value, bool little = false);

}  // namespace doze::test
