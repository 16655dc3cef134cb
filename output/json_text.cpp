// SPDX-License-Identifier: MIT
#include "output/json_text.h"

#include "output/utf8.h"

namespace doze {
namespace {

void AppendEscape(std::string& out, std::uint32_t codePoint) {
    static constexpr char kDigits[] = "0123456789abcdef";
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4) out += kDigits[(codePoint >> shift) & 0xF];
}

bool NeedsEscape(std::uint32_t c, bool scriptSafe) {
    return c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F) || c == 0x2028 || c == 0x2029 ||
           (scriptSafe && (c == '<' || c == '>' || c == '&'));
}

}  // namespace

bool AppendJsonString(std::string& out, std::string_view text, bool scriptSafe) {
    bool valid = true;
    out += '"';
    std::uint32_t c = 0;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = DecodeUtf8At(text, i, c);
        if (length == 0) {
            out.append("\xEF\xBF\xBD");
            valid = false;
            ++i;
            continue;
        }
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (NeedsEscape(c, scriptSafe)) {
            AppendEscape(out, c);
        } else {
            out.append(text.substr(i, length));
        }
        i += length;
    }
    out += '"';
    return valid;
}

void AppendJsonKey(std::string& out, std::string_view key) {
    out += '"';
    out.append(key);
    out += "\": ";
}

void AppendJsonText(std::string& out, std::string_view key, std::string_view text,
                    bool scriptSafe) {
    AppendJsonKey(out, key);
    if (AppendJsonString(out, text, scriptSafe)) return;
    out += ", ";
    AppendJsonKey(out, std::string(key) + "_hex");
    out += '"';
    AppendHex(out, text);
    out += '"';
}

void AppendJsonNumber(std::string& out, std::string_view key, std::optional<std::int64_t> value) {
    AppendJsonKey(out, key);
    out.append(value ? std::to_string(*value) : "null");
}

}  // namespace doze
