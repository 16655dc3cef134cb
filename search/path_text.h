#pragma once
#include <string>
#include <string_view>

namespace doze {

#ifdef _WIN32
inline constexpr char kSeparator = '\\';
#else
inline constexpr char kSeparator = '/';
#endif

// The path with exactly one trailing separator: unchanged when it already ends
// in one, otherwise with one appended. The empty path gives the separator.
std::string AddBackslash(std::string_view path);

// The text before its first NUL; the text itself when it holds none.
std::string StripNulls(std::string_view text);

// True for a folder entry of the found-file list (it holds the separator).
bool IsFolderEntry(std::string_view entry);

// A file entry split at its last "|": the name before it, the size text after.
// An entry without "|" is all name with an empty size text.
struct FileEntryParts {
    std::string_view name;
    std::string_view sizeText;
};
FileEntryParts SplitFileEntry(std::string_view entry);

}  // namespace doze
