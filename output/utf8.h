// SPDX-License-Identifier: MIT
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace doze {

// Length of the valid UTF-8 sequence at `i` of `s` and its code point; 0 when
// the byte at `i` does not start one (an overlong form, a surrogate, past
// U+10FFFF, a bad or missing continuation byte).
std::size_t DecodeUtf8At(std::string_view s, std::size_t i, std::uint32_t& codePoint);

// Appends `text` with each byte of invalid UTF-8 replaced by U+FFFD. Returns
// false when there was such a byte.
bool AppendRepairedUtf8(std::string& out, std::string_view text);

// Appends the bytes of `text` as lowercase hexadecimal, two digits a byte.
void AppendHex(std::string& out, std::string_view text);

}  // namespace doze
