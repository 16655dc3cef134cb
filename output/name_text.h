#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// How the lists show a name or a path: controls masked, characters counted for
// the column rule, and escaped for HTML.

namespace doze {

// Control bytes (0x01-0x1F, 0x7F) and, in valid UTF-8, the controls U+0080 to
// U+009F and the separators U+2028 and U+2029 replaced by "?" each, so a name
// stays on its line. Bytes of invalid UTF-8 stay as they are.
std::string MaskControls(std::string_view text);

// Length of the valid UTF-8 sequence at `i` of `s` and its code point; 0 when
// the byte at `i` does not start one.
std::size_t Utf8SequenceAt(std::string_view s, std::size_t i, std::uint32_t& codePoint);

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
