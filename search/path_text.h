// SPDX-License-Identifier: MIT
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace doze {

inline constexpr char kSeparator = '/';

// The path with exactly one trailing separator: unchanged when it already ends
// in one, otherwise with one appended. The empty path gives the separator.
std::string AddBackslash(std::string_view path);

// `name` appended to `path` with the one separator AddBackslash puts between
// them.
void AppendToPath(std::string& path, std::string_view name);

// The length AppendToPath gives, reckoned without building the path.
std::size_t JoinedLength(std::string_view folder, std::string_view name);

// The text before its first NUL; the text itself when it holds none.
std::string StripNulls(std::string_view text);

}  // namespace doze
