// SPDX-License-Identifier: MIT
#include "audio/text_decode.h"

#include <algorithm>

namespace doze::audio {

namespace {

void AppendCodePoint(std::string& out, std::uint32_t c) {
    auto put = [&out](std::uint32_t byte) { out.push_back(static_cast<char>(byte)); };
    if (c < 0x80) {
        put(c);
    } else if (c < 0x800) {
        put(0xC0 | c >> 6);
        put(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        put(0xE0 | c >> 12);
        put(0x80 | (c >> 6 & 0x3F));
        put(0x80 | (c & 0x3F));
    } else {
        put(0xF0 | c >> 18);
        put(0x80 | (c >> 12 & 0x3F));
        put(0x80 | (c >> 6 & 0x3F));
        put(0x80 | (c & 0x3F));
    }
}

constexpr std::uint32_t kReplacement = 0xFFFD;

}  // namespace

std::string Latin1ToUtf8(Bytes text) {
    std::string out;
    for (const std::uint8_t byte : text) AppendCodePoint(out, byte);
    return out;
}

Decoded RepairUtf8(Bytes text) {
    Decoded out;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::uint8_t lead = text[at];
        std::size_t length = 0;
        std::uint8_t low = 0x80, high = 0xBF;  // the second byte's range
        if (lead < 0x80) {
            length = 1;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        }
        std::size_t valid = length == 0 ? 0 : 1;  // bytes of a well-formed start
        while (valid < length && at + valid < text.size()) {
            const std::uint8_t next = text[at + valid];
            if (valid == 1 ? (next < low || next > high) : (next < 0x80 || next > 0xBF)) break;
            ++valid;
        }
        if (length != 0 && valid == length) {
            out.utf8.append(reinterpret_cast<const char*>(text.data() + at), length);
            at += length;
        } else {
            AppendCodePoint(out.utf8, kReplacement);
            out.repaired = true;
            at += std::max<std::size_t>(valid, 1);
        }
    }
    return out;
}

Decoded Utf16ToUtf8(Bytes text) {
    Decoded out;
    bool bigEndian = true;
    std::size_t at = 0;
    if (text.size() >= 2 &&
        ((text[0] == 0xFF && text[1] == 0xFE) || (text[0] == 0xFE && text[1] == 0xFF))) {
        bigEndian = text[0] == 0xFE;
        at = 2;
    }
    auto unit = [&](std::size_t i) -> std::uint32_t {
        return bigEndian ? static_cast<std::uint32_t>(text[i] << 8 | text[i + 1])
                         : static_cast<std::uint32_t>(text[i + 1] << 8 | text[i]);
    };
    for (; at + 2 <= text.size(); at += 2) {
        const std::uint32_t c = unit(at);
        if (c >= 0xD800 && c <= 0xDBFF && at + 4 <= text.size()) {
            const std::uint32_t low = unit(at + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendCodePoint(out.utf8, 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00));
                at += 2;
                continue;
            }
        }
        const bool surrogate = c >= 0xD800 && c <= 0xDFFF;
        AppendCodePoint(out.utf8, surrogate ? kReplacement : c);
        out.repaired = out.repaired || surrogate;
    }
    if (at < text.size()) {
        AppendCodePoint(out.utf8, kReplacement);
        out.repaired = true;
    }
    return out;
}

std::optional<Decoded> DecodeId3Text(std::uint8_t encoding, Bytes text) {
    if (encoding == 0 || encoding == 3) {
        text = text.first(
            static_cast<std::size_t>(std::find(text.begin(), text.end(), 0) - text.begin()));
        if (encoding == 0) return Decoded{Latin1ToUtf8(text), false};
        return RepairUtf8(text);
    }
    if (encoding != 1 && encoding != 2) return std::nullopt;
    std::size_t end = 0;
    while (end + 2 <= text.size() && (text[end] != 0 || text[end + 1] != 0)) end += 2;
    if (end + 2 > text.size()) end = text.size();  // no terminator: the odd byte stays
    return Utf16ToUtf8(text.first(end));
}

}  // namespace doze::audio
