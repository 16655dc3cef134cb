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

}  // namespace doze
