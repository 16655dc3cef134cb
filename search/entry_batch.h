#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace doze {

// Entries kept back to back in one buffer, in the order they were added.
class EntryBatch {
  public:
    void Add(std::string_view entry);
    // Makes room for `count` entries and `bytes` bytes, so that adding that
    // much never moves the batch.
    void Reserve(std::size_t count, std::size_t bytes);
    // Keeps the first `count` entries and gives back the room beyond them.
    void Truncate(std::size_t count);
    std::size_t size() const { return ends_.size(); }
    // Bytes of all entries together.
    std::size_t Bytes() const { return bytes_.size(); }
    // Entry `i`, counting from 0.
    std::string_view operator[](std::size_t i) const;
    // Empties the batch and gives its memory back.
    void Release();

  private:
    std::string bytes_;
    std::vector<std::size_t> ends_;
};

}  // namespace doze
