// SPDX-License-Identifier: MIT
#include "audio/file_reader.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

namespace doze::audio {

FileReader::FileReader(int fd, std::int64_t size, PreadCall pread, std::int64_t budget,
                       Storage& storage)
    : fd_(fd),
      size_(size < 0 ? 0 : size),
      pread_(pread),
      budgetLeft_(budget),
      head_(storage.head),
      window_(storage.window) {}

std::uint8_t* FileReader::Window::Prepare(std::size_t length) {
    if (storage_.size() < length) storage_.resize(length);
    length_ = length;
    return storage_.data();
}

std::int64_t FileReader::Spendable() const {
    return budgetLeft_ > heldBack_ ? budgetLeft_ - heldBack_ : 0;
}

Bytes FileReader::Get(std::int64_t offset, std::size_t length, std::size_t window) {
    if (offset < 0 || offset > size_ || length > static_cast<std::size_t>(size_ - offset)) {
        return {};
    }
    if (const Bytes held = Held(offset); held.size() >= length) return held.first(length);
    const auto wanted = static_cast<std::int64_t>(length);
    std::int64_t reading = std::max(wanted, static_cast<std::int64_t>(window));
    reading = std::min({reading, size_ - offset, std::max(wanted, Spendable())});
    if (reading > Spendable()) return {};
    // The file's first bytes, where the tags and the stream begin, are kept apart: later looks
    // near the start cost no read again.
    Window& into = offset == 0 ? head_ : window_;
    std::uint8_t* bytes = into.Prepare(static_cast<std::size_t>(reading));
    if (offset != 0) windowOffset_ = offset;
    budgetLeft_ -= reading;
    if (!ReadAll(offset, bytes, into.size())) {
        into.Clear();
        return {};
    }
    return into.View().first(length);
}

Bytes FileReader::Held(std::int64_t offset) const {
    const auto held = static_cast<std::int64_t>(window_.size());
    Bytes bytes;
    if (offset >= windowOffset_ && offset < windowOffset_ + held) {
        bytes = window_.View().subspan(static_cast<std::size_t>(offset - windowOffset_));
    }
    if (offset < static_cast<std::int64_t>(head_.size()) &&
        head_.size() - static_cast<std::size_t>(offset) > bytes.size()) {
        bytes = head_.View().subspan(static_cast<std::size_t>(offset));
    }
    return bytes;
}

bool FileReader::ReadFree(std::int64_t offset, std::span<std::uint8_t> out) {
    if (offset < 0 || offset > size_ || out.size() > static_cast<std::size_t>(size_ - offset)) {
        return false;
    }
    return ReadAll(offset, out.data(), out.size());
}

bool FileReader::ReadAll(std::int64_t offset, std::uint8_t* buffer, std::size_t length) {
    std::size_t done = 0;
    while (done < length) {
        const ssize_t got = pread_(fd_, buffer + done, length - done,
                                   static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            if (failure_.empty()) {
                failure_ = got < 0 ? "it cannot be read: " + std::generic_category().message(errno)
                                   : "it was cut short while it was read";
            }
            return false;
        }
        done += static_cast<std::size_t>(got);
        bytesRead_ += got;
    }
    return true;
}

}  // namespace doze::audio
