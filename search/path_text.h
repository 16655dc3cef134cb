#pragma once
#include <string>
#include <string_view>

namespace doze {

inline constexpr char kSeparator = '/';

// The path with exactly one trailing separator: unchanged when it already ends
// in one, otherwise with one appended. The empty path gives the separator.
std::string AddBackslash(std::string_view path);

// The text before its first NUL; the text itself when it holds none.
std::string StripNulls(std::string_view text);

}  // namespace doze
