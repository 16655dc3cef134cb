// SPDX-License-Identifier: MIT
#include "audio/mpeg_frame.h"

namespace doze::audio {

namespace {

// Bitrates in kbit/s by [MPEG-1 or not][layer - 1][index]; index 0 (free format) and 15 are
// not read.
constexpr int kBitrates[2][3][15] = {
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}},
};
constexpr int kSampleRates[3][3] = {
    {44100, 48000, 32000}, {22050, 24000, 16000}, {11025, 12000, 8000}};

int FrameSize(const FrameHeader& h, int bitrateKbps, int padding) {
    const int bitsPerSecond = bitrateKbps * 1000;
    if (h.layer == 1) return (12 * bitsPerSecond / h.sampleRate + padding) * 4;
    return h.samplesPerFrame / 8 * bitsPerSecond / h.sampleRate + padding;
}

}  // namespace

std::optional<FrameHeader> ParseFrameHeader(const std::uint8_t* bytes) {
    if (bytes[0] != 0xFF || (bytes[1] & 0xE0) != 0xE0) return std::nullopt;
    const int versionBits = (bytes[1] >> 3) & 3;
    const int layerBits = (bytes[1] >> 1) & 3;
    const int bitrateIndex = bytes[2] >> 4;
    const int rateIndex = (bytes[2] >> 2) & 3;
    const int padding = (bytes[2] >> 1) & 1;
    const int mode = bytes[3] >> 6;
    const int emphasis = bytes[3] & 3;
    if (versionBits == 1 || layerBits == 0 || bitrateIndex == 0 || bitrateIndex == 15 ||
        rateIndex == 3 || emphasis == 2) {
        return std::nullopt;
    }
    FrameHeader h{};
    h.version = versionBits == 3 ? MpegVersion::V1
                                 : (versionBits == 2 ? MpegVersion::V2 : MpegVersion::V25);
    h.layer = 4 - layerBits;
    const int lsf = h.version == MpegVersion::V1 ? 0 : 1;  // MPEG-2 and 2.5
    h.bitrateKbps = kBitrates[lsf][h.layer - 1][bitrateIndex];
    h.sampleRate = kSampleRates[static_cast<int>(h.version)][rateIndex];
    h.samplesPerFrame = h.layer == 1 ? 384 : (h.layer == 3 && lsf ? 576 : 1152);
    h.channels = mode == 3 ? 1 : 2;
    h.size = FrameSize(h, h.bitrateKbps, padding);
    return h;
}

bool SameStream(const FrameHeader& a, const FrameHeader& b) {
    return a.version == b.version && a.layer == b.layer && a.sampleRate == b.sampleRate &&
           a.channels == b.channels;
}

int XingOffset(const FrameHeader& frame) {
    const bool mono = frame.channels == 1;
    if (frame.version == MpegVersion::V1) return 4 + (mono ? 17 : 32);
    return 4 + (mono ? 9 : 17);
}

int LargestFrameSize(const FrameHeader& frame) {
    const int lsf = frame.version == MpegVersion::V1 ? 0 : 1;
    return FrameSize(frame, kBitrates[lsf][frame.layer - 1][14], 1);
}

int SmallestFrameSize(const FrameHeader& frame) {
    const int lsf = frame.version == MpegVersion::V1 ? 0 : 1;
    return FrameSize(frame, kBitrates[lsf][frame.layer - 1][1], 0);
}

std::optional<FoundFrame> FindFrame(Bytes bytes, std::size_t from, bool endsStream,
                                    const FrameHeader* like,
                                    std::optional<std::size_t>* unconfirmed) {
    for (std::size_t at = from; at + 4 <= bytes.size(); ++at) {
        if (bytes[at] != 0xFF) continue;
        const auto header = ParseFrameHeader(bytes.data() + at);
        if (!header || (like != nullptr && !SameStream(*header, *like))) continue;
        const std::size_t next = at + static_cast<std::size_t>(header->size);
        if (next == bytes.size() && endsStream) return FoundFrame{at, *header};
        if (next + 4 > bytes.size()) {
            if (unconfirmed != nullptr && !*unconfirmed) *unconfirmed = at;
            continue;
        }
        const auto following = ParseFrameHeader(bytes.data() + next);
        if (following && SameStream(*header, *following)) return FoundFrame{at, *header};
    }
    return std::nullopt;
}

}  // namespace doze::audio
