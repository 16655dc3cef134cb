// SPDX-License-Identifier: MIT
#pragma once
#include <optional>
#include <string>

#include "audio/file_reader.h"

namespace doze::audio {

// A text turned into valid UTF-8, and whether any of it had to become U+FFFD.
struct Decoded {
    std::string utf8;
    bool repaired = false;
};

// ISO-8859-1 bytes in UTF-8.
std::string Latin1ToUtf8(Bytes text);

// UTF-8 bytes made valid: each ill-formed sequence (overlong, a surrogate, past U+10FFFF, cut
// short) becomes one U+FFFD.
Decoded RepairUtf8(Bytes text);

// UTF-16 in UTF-8. A leading byte order mark picks the byte order and is dropped; without one the
// text is big-endian. Unpaired surrogates and an odd last byte become U+FFFD.
Decoded Utf16ToUtf8(Bytes text);

// The first string of an ID3v2 text field in `encoding` (0 ISO-8859-1, 1 UTF-16 with a byte
// order mark, 2 UTF-16BE, 3 UTF-8), up to its terminator; nothing for an unknown encoding.
std::optional<Decoded> DecodeId3Text(std::uint8_t encoding, Bytes text);

}  // namespace doze::audio
