// SPDX-License-Identifier: MIT
#pragma once
#include <cstddef>
#include <string_view>

#include "search/raw_buffer.h"

namespace doze {

// Entries kept back to back in one buffer, in the order they were added.
class EntryBatch {
  public:
    void Add(std::string_view entry);
    // Makes room for `count` entries and `bytes` bytes, so that adding that
    // much never moves the batch.
    void Reserve(std::size_t count, std::size_t bytes);
    // Keeps the first `count` entries and gives back the room beyond them,
    // without copying the entries.
    void Truncate(std::size_t count);
    std::size_t size() const { return ends_.size(); }
    // Bytes of all entries together.
    std::size_t Bytes() const { return bytes_.size(); }
    // Entry `i`, counting from 0.
    std::string_view operator[](std::size_t i) const;
    // Empties the batch and gives its memory back.
    void Release();
    // Hands the entries' bytes over, entry `i` starting at the offset
    // operator[] gives it, and leaves the batch empty.
    RawBuffer<char> TakeBytes();

  private:
    RawBuffer<char> bytes_;
    RawBuffer<std::size_t> ends_;
};

}  // namespace doze
