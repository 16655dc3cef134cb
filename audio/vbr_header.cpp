// SPDX-License-Identifier: MIT
#include "audio/vbr_header.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace doze::audio {

namespace {

std::uint32_t BigEndian32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
           static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}

bool HasTextAt(Bytes bytes, std::size_t at, const char* text) {
    const std::size_t length = std::strlen(text);
    return at + length <= bytes.size() && std::memcmp(bytes.data() + at, text, length) == 0;
}

// LAME's tag after a Xing header that ends at `at`: its encoder delay and padding, 12 bits each.
void ReadLameTag(Bytes frame, std::size_t at, VbrHeader& vbr) {
    constexpr std::size_t kLameTagSize = 36;
    if (at + kLameTagSize > frame.size()) return;
    const bool known = HasTextAt(frame, at, "LAME") || HasTextAt(frame, at, "Lavf") ||
                       HasTextAt(frame, at, "Lavc");
    if (!known) return;
    const std::uint8_t* p = frame.data() + at + 21;
    vbr.encoderDelay = p[0] << 4 | p[1] >> 4;
    vbr.padding = (p[1] & 0x0F) << 8 | p[2];
}

std::optional<VbrHeader> ReadXing(Bytes frame, std::size_t at) {
    if (at + 8 > frame.size()) return std::nullopt;
    VbrHeader vbr{HasTextAt(frame, at, "Info") ? VbrHeader::Info : VbrHeader::Xing, {}, {}, {}, {}};
    const std::uint32_t flags = BigEndian32(frame.data() + at + 4);
    std::size_t field = at + 8;
    // Each flag announces one field: frames, bytes, table of contents, quality.
    constexpr std::pair<std::uint32_t, std::size_t> kFields[] = {{1, 4}, {2, 4}, {4, 100}, {8, 4}};
    for (const auto& [flag, size] : kFields) {
        if ((flags & flag) == 0) continue;
        if (field + size > frame.size()) return std::nullopt;
        if (flag == 1) vbr.frames = BigEndian32(frame.data() + field);
        if (flag == 2) vbr.bytes = BigEndian32(frame.data() + field);
        field += size;
    }
    ReadLameTag(frame, field, vbr);
    return vbr;
}

std::optional<VbrHeader> ReadVbri(Bytes frame) {
    constexpr std::size_t kAt = 36;  // always 32 bytes after the frame header
    if (!HasTextAt(frame, kAt, "VBRI") || kAt + 18 > frame.size()) return std::nullopt;
    VbrHeader vbr{VbrHeader::Vbri, {}, {}, {}, {}};
    vbr.bytes = BigEndian32(frame.data() + kAt + 10);
    vbr.frames = BigEndian32(frame.data() + kAt + 14);
    return vbr;
}

}  // namespace

std::optional<VbrHeader> ReadVbrHeader(Bytes frame, const FrameHeader& header) {
    if (header.layer != 3) return std::nullopt;
    frame = frame.first(std::min(frame.size(), static_cast<std::size_t>(header.size)));
    const auto at = static_cast<std::size_t>(XingOffset(header));
    if (HasTextAt(frame, at, "Xing") || HasTextAt(frame, at, "Info")) return ReadXing(frame, at);
    return ReadVbri(frame);
}

}  // namespace doze::audio
