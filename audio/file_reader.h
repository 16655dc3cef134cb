// SPDX-License-Identifier: MIT
#pragma once
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace doze::audio {

using Bytes = std::span<const std::uint8_t>;
using PreadCall = ssize_t (*)(int fd, void* buffer, std::size_t size, off_t offset);

// Reads one file with pread only, every byte counted against a budget. It keeps the window it
// read at the start of the file and the last one it read elsewhere, so that requests close to
// one another, or near the start, cost one read.
class FileReader {
  public:
    // Where the windows' bytes are kept: a thread reuses one from file to file, so that a file
    // costs no allocation. One reader at a time uses it.
    struct Storage {
        std::vector<std::uint8_t> head, window;
    };

    FileReader(int fd, std::int64_t size, PreadCall pread, std::int64_t budget, Storage& storage);

    std::int64_t Size() const { return size_; }
    std::int64_t BytesRead() const { return bytesRead_; }
    // What may still be read, less what is held back for later steps.
    std::int64_t Spendable() const;
    // Holds `bytes` of the budget back from Get until it is set to 0 again.
    void HoldBack(std::int64_t bytes) { heldBack_ = bytes; }

    // The `length` bytes at `offset`: from the last window when it holds them, otherwise read
    // into a new window of at least `window` bytes where the file and the budget allow. Empty
    // when they lie past the end of the file, do not fit the budget, or cannot be read. Valid
    // until the next call.
    Bytes Get(std::int64_t offset, std::size_t length, std::size_t window = 0);

    // The bytes held from `offset` on (the most either window holds); empty when neither holds it.
    Bytes Held(std::int64_t offset) const;

    // Reads `out.size()` bytes at `offset` outside the budget (for counting frames); false when
    // they cannot all be read.
    bool ReadFree(std::int64_t offset, std::span<std::uint8_t> out);

    // The first failure of a read: empty, or a phrase such as "it cannot be read: I/O error".
    const std::string& Failure() const { return failure_; }

  private:
    bool ReadAll(std::int64_t offset, std::uint8_t* buffer, std::size_t length);

    int fd_;
    std::int64_t size_;
    PreadCall pread_;
    std::int64_t budgetLeft_;
    std::int64_t heldBack_ = 0;
    std::int64_t bytesRead_ = 0;
    // Bytes read into storage kept as large as it has been, so that it is not cleared again.
    class Window {
      public:
        explicit Window(std::vector<std::uint8_t>& storage) : storage_(storage) {}
        std::uint8_t* Prepare(std::size_t length);
        void Clear() { length_ = 0; }
        std::size_t size() const { return length_; }
        Bytes View() const { return Bytes(storage_.data(), length_); }

      private:
        std::vector<std::uint8_t>& storage_;
        std::size_t length_ = 0;
    };

    Window head_;    // read from offset 0
    Window window_;  // the last read elsewhere
    std::int64_t windowOffset_ = 0;
    std::string failure_;
};

}  // namespace doze::audio
