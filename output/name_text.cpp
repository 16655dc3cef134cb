#include "output/name_text.h"

#include <cstdint>

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

bool IsContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

}  // namespace

std::size_t Utf8SequenceAt(std::string_view s, std::size_t i, std::uint32_t& codePoint) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        codePoint = b0;
        return 1;
    }
    std::size_t length;
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
        if (!IsContinuation(b)) return 0;
        codePoint = (codePoint << 6) | (b & 0x3Fu);
    }
    return length;
}

std::string MaskControls(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::uint32_t codePoint = 0;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = Utf8SequenceAt(text, i, codePoint);
        if (length == 0) {
            out += text[i++];  // a byte of invalid UTF-8 stays as it is
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
        const std::size_t length = Utf8SequenceAt(text, i, codePoint);
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
        const std::size_t length = Utf8SequenceAt(text, i, codePoint);
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
