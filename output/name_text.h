// SPDX-License-Identifier: MIT
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// How the lists show a name or a path: controls masked, characters counted for
// the column rule, and escaped for HTML.

namespace doze {

// Valid UTF-8 of `text`, as the text list shows it: control bytes (0x01-0x1F,
// 0x7F) and, in valid UTF-8, the controls U+0080 to U+009F and the separators
// U+2028 and U+2029 replaced by "?" each, so a name stays on its line; each
// byte of invalid UTF-8 read as Windows-1252 (0xE9 "é", 0x93 "“"), the five
// bytes it leaves undefined as "?". Keeps the count of CountCharacters.
std::string MaskControls(std::string_view text);

// Characters in `text`: UTF-8 code points, each byte of an invalid sequence
// counting as one.
std::size_t CountCharacters(std::string_view text);

// Pure-ASCII HTML text: & < > " ' as entities, each non-ASCII code point of
// valid UTF-8 as &#N;, each byte of an invalid sequence as &#byte;. What
// MaskControls masks becomes "?".
std::string HtmlEscape(std::string_view text);
// The same, appended to `out`.
void AppendHtmlEscaped(std::string& out, std::string_view text);

}  // namespace doze
