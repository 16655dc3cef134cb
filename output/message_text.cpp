// SPDX-License-Identifier: MIT
#include "output/message_text.h"

#include <cstdint>

#include "output/utf8.h"

namespace doze {
namespace {

// C1 controls, separators and the marks, embeddings, overrides and isolates
// that reorder what a terminal or window shows around them.
bool IsHiddenControl(std::uint32_t c) {
    return (c >= 0x80 && c <= 0x9F) || c == 0x2028 || c == 0x2029 || c == 0x061C || c == 0x200E ||
           c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

void AppendHex(std::string& out, const char* prefix, std::uint32_t value, int digits,
               const char* suffix) {
    static const char kHex[] = "0123456789abcdef";
    out += prefix;
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out += kHex[(value >> shift) & 0xF];
    out += suffix;
}

// Appends `text` to `out` with the escapes of SafeMessageText, and with
// `literal` those of a quoted path too. True when anything was escaped.
bool AppendEscaped(std::string& out, std::string_view text, bool literal) {
    bool escaped = false;
    std::uint32_t codePoint = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const std::size_t length = DecodeUtf8At(text, i, codePoint);
        if (length == 0 || (length == 1 && (byte < 0x20 || byte == 0x7F))) {
            AppendHex(out, "\\x", byte, 2, "");
            escaped = true;
            ++i;
            continue;
        }
        if (length > 1 && IsHiddenControl(codePoint)) {
            AppendHex(out, "\\u{", codePoint, 4, "}");
            escaped = true;
        } else if (literal && (byte == '\\' || byte == '"')) {
            out += '\\';
            out += static_cast<char>(byte);
            escaped = true;
        } else {
            out.append(text.substr(i, length));
        }
        i += length;
    }
    return escaped;
}

}  // namespace

std::string SafeMessageText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    AppendEscaped(out, text, false);
    return out;
}

std::string MessagePath(std::string_view path) {
    std::string out = "\"";
    if (!AppendEscaped(out, path, true)) return std::string(path);
    return out += '"';
}

std::string QuotedMessagePath(std::string_view path) {
    std::string out = "\"";
    AppendEscaped(out, path, true);
    return out += '"';
}

}  // namespace doze
