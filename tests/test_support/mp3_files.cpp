// SPDX-License-Identifier: MIT
#include "test_support/mp3_files.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include "test_support/temp_tree.h"

namespace doze::test {

using namespace std::string_literals;

namespace {

std::string Le(std::uint32_t value) {
    return BigEndian(value, true);
}

// 16-bit PCM in a WAV file: silence, then a 440 Hz tone under noise that swells and fades, so
// that a VBR encoder's bitrate goes up and down.
std::string Wav(int rate, int channels, std::int64_t silent, std::int64_t samples) {
    std::string pcm;
    std::uint32_t noise = 1;
    for (std::int64_t i = 0; i < samples; ++i) {
        const double t = static_cast<double>(i) / rate;
        noise = noise * 1103515245 + 12345;
        const double swell = 3000 * (1 + std::sin(t * 4)) * ((noise >> 16) / 32768.0 - 1);
        const auto level = static_cast<std::uint16_t>(
            std::lround(i < silent ? 0 : 6000 * std::sin(t * 2764.6) + swell));
        for (int c = 0; c < channels; ++c) pcm += Le(level).substr(0, 2);
    }
    const auto size = static_cast<std::uint32_t>(pcm.size()), r = static_cast<std::uint32_t>(rate);
    const auto block = static_cast<std::uint32_t>(2 * channels);
    return "RIFF" + Le(36 + size) + "WAVEfmt " + Le(16) +
           Le(1 | static_cast<std::uint32_t>(channels) << 16) + Le(r) + Le(r * block) +
           Le(block | 16 << 16) + "data" + Le(size) + pcm;
}

void AppendCharacter(std::string& out, int encoding, char32_t c) {
    if (encoding == 0 || (encoding == 3 && c < 0x80)) return out.push_back(static_cast<char>(c));
    if (encoding == 3) {
        const int extra = c < 0x800 ? 1 : (c < 0x10000 ? 2 : 3);
        out.push_back(static_cast<char>(((0xFF00 >> (extra + 1)) & 0xFF) | c >> (6 * extra)));
        for (int i = extra - 1; i >= 0; --i)
            out.push_back(static_cast<char>(0x80 | (c >> (6 * i) & 0x3F)));
        return;
    }
    const auto unit = [&](std::uint32_t u) {
        out += BigEndian(u, encoding == 1).substr(encoding == 1 ? 0 : 2, 2);
    };
    if (c < 0x10000) return unit(c);
    unit(0xD800 + ((c - 0x10000) >> 10));
    unit(0xDC00 + ((c - 0x10000) & 0x3FF));
}

}  // namespace

Mp3File Encode(const Encoding& audio) {
    const TempTree tree;
    const auto silent = std::llround(audio.silence * audio.rate);
    Mp3File file{"", silent + std::llround(audio.seconds * audio.rate), audio.rate, audio.channels};
    std::ofstream(tree.Path("in.wav")) << Wav(audio.rate, audio.channels, silent, file.samples);
    const std::string command = "lame --quiet "s + audio.options + " '" + tree.Path("in.wav") +
                                "' '" + tree.Path("out.mp3") + "'";
    if (std::system(command.c_str()) != 0) throw std::runtime_error("failed: " + command);
    file.bytes = tree.Read("out.mp3");
    file.audioBytes = static_cast<std::int64_t>(file.bytes.size());
    return file;
}

std::string Syncsafe(std::uint32_t value) {
    return BigEndian((value & 0x0FE00000) << 3 | (value & 0x1FC000) << 2 | (value & 0x3F80) << 1 |
                     (value & 0x7F));
}

std::string BigEndian(std::uint32_t value, bool little) {
    std::string out;
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>(value >> (little ? 8 * i : 24 - 8 * i) & 0xFF));
    return out;
}

std::string Id3v2Tag(int version, int flags, const std::string& body) {
    return std::string("ID3") + static_cast<char>(version) + '\0' + static_cast<char>(flags) +
           Syncsafe(static_cast<std::uint32_t>(body.size())) + body;
}

std::string Id3v2Frame(int version, const std::string& id, const std::string& body, int flags,
                       bool plainSize) {
    const auto size = static_cast<std::uint32_t>(body.size());
    if (version == 2) return id + BigEndian(size).substr(1) + body;
    const std::string sizeBytes = version == 4 && !plainSize ? Syncsafe(size) : BigEndian(size);
    return id + sizeBytes + static_cast<char>(flags >> 8) + static_cast<char>(flags & 0xFF) + body;
}

std::string TextBody(int encoding, const std::u32string& text) {
    std::string out(1, static_cast<char>(encoding));
    if (encoding == 1) out += "\xFF\xFE";
    for (const char32_t c : text) AppendCharacter(out, encoding, c);
    return out;
}

std::string Unsynchronised(const std::string& bytes) {
    std::string out;
    for (const char c : bytes) out += c == '\xFF' ? "\xFF\0"s : std::string(1, c);
    return out;
}

std::string Id3v1Tag(const std::string& title, const std::string& artist, const std::string& album,
                     const std::string& year, int track, int genre) {
    const auto field = [](const std::string& text, std::size_t size) {
        return (text + std::string(size, '\0')).substr(0, size);
    };
    return "TAG" + field(title, 30) + field(artist, 30) + field(album, 30) + field(year, 4) +
           std::string(29, '\0') + static_cast<char>(track) + static_cast<char>(genre);
}

}  // namespace doze::test
