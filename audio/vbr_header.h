// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <optional>

#include "audio/file_reader.h"
#include "audio/mpeg_frame.h"

namespace doze::audio {

// What the first frame of a stream may say of the whole: a Xing or Info header (with LAME's tag)
// or a Fraunhofer VBRI header.
struct VbrHeader {
    enum Kind { Xing, Info, Vbri } kind;
    std::optional<std::uint32_t> frames;  // audio frames, this one not counted
    std::optional<std::uint32_t> bytes;   // the stream's bytes, this frame counted
    // From a LAME tag: samples the encoder put before the audio and after it.
    std::optional<int> encoderDelay, padding;
};

// The header in `frame`, the bytes of the frame described by `header` (as many as were read),
// or nothing when it holds none. Reads only inside the frame.
std::optional<VbrHeader> ReadVbrHeader(Bytes frame, const FrameHeader& header);

}  // namespace doze::audio
