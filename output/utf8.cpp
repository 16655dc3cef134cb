// SPDX-License-Identifier: MIT
#include "output/utf8.h"

namespace doze {

std::size_t DecodeUtf8At(std::string_view s, std::size_t i, std::uint32_t& codePoint) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        codePoint = b0;
        return 1;
    }
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
        codePoint = b0 & 0x1Fu;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        codePoint = b0 & 0x0Fu;
        if (b0 == 0xE0) low = 0xA0;   // no overlong forms
        if (b0 == 0xED) high = 0x9F;  // no surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        codePoint = b0 & 0x07u;
        if (b0 == 0xF0) low = 0x90;
        if (b0 == 0xF4) high = 0x8F;  // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (i + length > s.size()) return 0;
    const auto b1 = static_cast<unsigned char>(s[i + 1]);
    if (b1 < low || b1 > high) return 0;
    codePoint = (codePoint << 6) | (b1 & 0x3Fu);
    for (std::size_t k = 2; k < length; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) return 0;
        codePoint = (codePoint << 6) | (b & 0x3Fu);
    }
    return length;
}

bool AppendRepairedUtf8(std::string& out, std::string_view text) {
    bool valid = true;
    std::uint32_t codePoint = 0;
    std::size_t kept = 0;  // where the valid bytes not yet appended begin
    for (std::size_t i = 0; i < text.size();) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            ++i;
            continue;
        }
        const std::size_t length = DecodeUtf8At(text, i, codePoint);
        if (length != 0) {
            i += length;
            continue;
        }
        out.append(text.substr(kept, i - kept)).append("\xEF\xBF\xBD");
        valid = false;
        kept = ++i;
    }
    out.append(text.substr(kept));
    return valid;
}

void AppendHex(std::string& out, std::string_view text) {
    static constexpr char kDigits[] = "0123456789abcdef";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        out += kDigits[byte >> 4];
        out += kDigits[byte & 0xF];
    }
}

}  // namespace doze
