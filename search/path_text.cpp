#include "search/path_text.h"

namespace doze {

std::string AddBackslash(std::string_view path) {
    std::string result(path);
    if (result.empty() || result.back() != kSeparator) result.push_back(kSeparator);
    return result;
}

std::string StripNulls(std::string_view text) {
    return std::string(text.substr(0, text.find('\0')));
}

bool IsFolderEntry(std::string_view entry) {
    return entry.find(kSeparator) != std::string_view::npos;
}

FileEntryParts SplitFileEntry(std::string_view entry) {
    const std::size_t bar = entry.rfind('|');
    if (bar == std::string_view::npos) return {entry, {}};
    return {entry.substr(0, bar), entry.substr(bar + 1)};
}

}  // namespace doze
