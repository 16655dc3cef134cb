#include "test_support/list_fixture.h"

#include <stdexcept>

namespace doze::test {

EntryList MakeList(const std::vector<std::string>& entries) {
    EntryList list;
    list.Dimension(static_cast<std::int32_t>(entries.size()));
    std::int32_t i = 0;
    for (const std::string& entry : entries) list.Store(++i, entry);
    list.Trim(i);
    return list;
}

std::vector<std::string> CrLfLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = text.find("\r\n", pos);
        if (end == std::string::npos) throw std::runtime_error("text does not end in CR LF");
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

}  // namespace doze::test
