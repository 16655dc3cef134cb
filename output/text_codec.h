#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace doze {

// Control bytes (0x01-0x1F, 0x7F) replaced by "?", so a name stays on its line.
std::string MaskControls(std::string_view text);

// Characters in `text`: UTF-8 code points, each byte of an invalid sequence
// counting as one.
std::size_t CountCharacters(std::string_view text);

// Pure-ASCII HTML text: & < > " ' as entities, each non-ASCII code point of
// valid UTF-8 as &#N;, each byte of an invalid sequence as &#byte;. Control
// bytes become "?".
std::string HtmlEscape(std::string_view text);
// The same, appended to `out`.
void AppendHtmlEscaped(std::string& out, std::string_view text);

}  // namespace doze
