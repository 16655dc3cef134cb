// SPDX-License-Identifier: MIT
#include "search/entry_batch.h"

#include <utility>

namespace doze {

void EntryBatch::Add(std::string_view entry) {
    bytes_.Append(entry.data(), entry.size());
    ends_.PushBack(bytes_.size());
}

void EntryBatch::Reserve(std::size_t count, std::size_t bytes) {
    ends_.Reserve(count);
    bytes_.Reserve(bytes);
}

void EntryBatch::Truncate(std::size_t count) {
    ends_.Fit(count);
    bytes_.Fit(ends_.size() == 0 ? 0 : ends_[ends_.size() - 1]);
}

std::string_view EntryBatch::operator[](std::size_t i) const {
    const std::size_t begin = i == 0 ? 0 : ends_[i - 1];
    return {bytes_.data() + begin, ends_[i] - begin};
}

void EntryBatch::Release() {
    bytes_.Clear();
    ends_.Clear();
}

RawBuffer<char> EntryBatch::TakeBytes() {
    RawBuffer<char> bytes = std::move(bytes_);
    ends_.Clear();
    return bytes;
}

}  // namespace doze
