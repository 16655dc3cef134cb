// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <optional>

#include "audio/file_reader.h"

namespace doze::audio {

enum class MpegVersion { V1, V2, V25 };

// One MPEG audio frame header, taken apart.
struct FrameHeader {
    MpegVersion version;
    int layer;  // 1, 2 or 3
    int bitrateKbps;
    int sampleRate;  // Hz
    int samplesPerFrame;
    int size;  // bytes, header and padding included
    int channels;
};

// The header whose four bytes start at `bytes`, or nothing when they are not a header of a
// frame we can read (reserved values, free format, bad sync).
std::optional<FrameHeader> ParseFrameHeader(const std::uint8_t* bytes);

// Whether two headers may belong to one stream: same version, layer, sample rate and channels.
bool SameStream(const FrameHeader& a, const FrameHeader& b);

// Where the Xing or Info header of a layer III frame would start, counted from the frame's start.
int XingOffset(const FrameHeader& frame);

// The largest frame a stream like `frame` may hold, padding included.
int LargestFrameSize(const FrameHeader& frame);
// The smallest frame (lowest bitrate, no padding).
int SmallestFrameSize(const FrameHeader& frame);

// A frame found in bytes read from the file.
struct FoundFrame {
    std::size_t at;  // offset in the bytes searched
    FrameHeader header;
};

// The first frame at or after `from` in `bytes` that is confirmed: the header at its end is one
// of the same stream, or it ends exactly where `bytes` end and `endsStream` is true. With `like`,
// only frames of that stream count. When none is, `unconfirmed` (if given) is where the first
// header lies whose frame ends too close to the end of `bytes` to be confirmed, or nothing.
std::optional<FoundFrame> FindFrame(Bytes bytes, std::size_t from, bool endsStream,
                                    const FrameHeader* like = nullptr,
                                    std::optional<std::size_t>* unconfirmed = nullptr);

}  // namespace doze::audio
