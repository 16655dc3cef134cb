#include "search/entry_batch.h"

namespace doze {

void EntryBatch::Add(std::string_view entry) {
    bytes_.append(entry);
    ends_.push_back(bytes_.size());
}

void EntryBatch::Reserve(std::size_t count, std::size_t bytes) {
    if (count > ends_.capacity()) ends_.reserve(count);
    if (bytes > bytes_.capacity()) bytes_.reserve(bytes);
}

void EntryBatch::Truncate(std::size_t count) {
    if (count < ends_.size()) {
        ends_.resize(count);
        bytes_.resize(ends_.empty() ? 0 : ends_.back());
    }
    ends_.shrink_to_fit();
    bytes_.shrink_to_fit();
}

std::string_view EntryBatch::operator[](std::size_t i) const {
    const std::size_t begin = i == 0 ? 0 : ends_[i - 1];
    return std::string_view(bytes_).substr(begin, ends_[i] - begin);
}

void EntryBatch::Release() {
    std::string().swap(bytes_);
    std::vector<std::size_t>().swap(ends_);
}

}  // namespace doze
