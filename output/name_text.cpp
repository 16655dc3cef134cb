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

}  // namespace

std::string MaskControls(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::uint32_t codePoint = 0;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = DecodeUtf8At(text, i, codePoint);
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
