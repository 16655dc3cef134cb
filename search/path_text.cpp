// SPDX-License-Identifier: MIT
#include "search/path_text.h"

namespace doze {

namespace {

bool NeedsSeparator(std::string_view path) {
    return path.empty() || path.back() != kSeparator;
}

}  // namespace

std::string AddBackslash(std::string_view path) {
    std::string result(path);
    if (NeedsSeparator(result)) result.push_back(kSeparator);
    return result;
}

void AppendToPath(std::string& path, std::string_view name) {
    if (NeedsSeparator(path)) path.push_back(kSeparator);
    path.append(name);
}

std::size_t JoinedLength(std::string_view folder, std::string_view name) {
    return folder.size() + (NeedsSeparator(folder) ? 1 : 0) + name.size();
}

std::string StripNulls(std::string_view text) {
    return std::string(text.substr(0, text.find('\0')));
}

}  // namespace doze
