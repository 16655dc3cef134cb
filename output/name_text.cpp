// SPDX-License-Identifier: MIT
#include "output/name_text.h"

#include <cstdint>

#include "output/utf8.h"

namespace doze {
namespace {

bool IsControl(unsigned char c) {
    return (c >= 0x01 && c <= 0x1F) || c == 0x7F;
}

// Line and paragraph separators and the C1 controls of valid UTF-8, which
// some viewers take as line ends or hidden commands.
bool IsWideControl(std::uint32_t codePoint) {
    return (codePoint >= 0x80 && codePoint <= 0x9F) || codePoint == 0x2028 || codePoint == 0x2029;
}

// What Windows-1252 makes of a byte that is no part of valid UTF-8 (0x80 and
// above); 0 for the five bytes it leaves undefined.
std::uint32_t Windows1252(unsigned char byte) {
    static constexpr std::uint16_t kC1[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    return byte >= 0xA0 ? std::uint32_t{byte} : std::uint32_t{kC1[byte - 0x80]};
}

void AppendUtf8(std::string& out, std::uint32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
        return;
    }
    const bool three = codePoint >= 0x800;
    out += static_cast<char>(three ? 0xE0 | (codePoint >> 12) : 0xC0 | (codePoint >> 6));
    if (three) out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (codePoint & 0x3F));
}

}  // namespace

std::string MaskControls(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::uint32_t codePoint = 0;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = DecodeUtf8At(text, i, codePoint);
        if (length == 0) {
            // A byte of invalid UTF-8, read as Windows-1252 ("?" where it has nothing).
            const std::uint32_t read = Windows1252(static_cast<unsigned char>(text[i++]));
            AppendUtf8(out, read != 0 ? read : '?');
            continue;
        }
        const bool control = length == 1 ? IsControl(static_cast<unsigned char>(codePoint))
                                         : IsWideControl(codePoint);
        if (control) {
            out += '?';
        } else {
            out.append(text.substr(i, length));
        }
        i += length;
    }
    return out;
}

std::size_t CountCharacters(std::string_view text) {
    std::size_t count = 0;
    std::uint32_t codePoint = 0;
    for (std::size_t i = 0; i < text.size(); ++count) {
        const std::size_t length = DecodeUtf8At(text, i, codePoint);
        i += length == 0 ? 1 : length;
    }
    return count;
}

std::string HtmlEscape(std::string_view text) {
    std::string out;
    AppendHtmlEscaped(out, text);
    return out;
}

void AppendHtmlEscaped(std::string& out, std::string_view text) {
    std::uint32_t codePoint = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const std::size_t length = DecodeUtf8At(text, i, codePoint);
        if (length == 0) {
            out += "&#" + std::to_string(byte) + ';';
            ++i;
            continue;
        }
        i += length;
        if (length > 1) {
            if (IsWideControl(codePoint)) {
                out += '?';
            } else {
                out += "&#" + std::to_string(codePoint) + ';';
            }
        } else if (IsControl(byte)) {
            out += '?';
        } else {
            switch (byte) {
                case '&':
                    out += "&amp;";
                    break;
                case '<':
                    out += "&lt;";
                    break;
                case '>':
                    out += "&gt;";
                    break;
                case '"':
                    out += "&quot;";
                    break;
                case '\'':
                    out += "&#39;";
                    break;
                default:
                    out += static_cast<char>(byte);
                    break;
            }
        }
    }
}

}  // namespace doze
