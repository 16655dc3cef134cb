// SPDX-License-Identifier: MIT
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

namespace doze {

// A growable array of plain values in memory of its own. It grows and shrinks
// with realloc, so a large buffer is remapped rather than copied and pages it
// never wrote cost no memory. Moving it leaves the values where they are.
template <typename T>
class RawBuffer {
    static_assert(std::is_trivially_copyable_v<T>);

  public:
    RawBuffer() = default;
    RawBuffer(RawBuffer&& other) noexcept
        : data_(std::exchange(other.data_, nullptr)),
          size_(std::exchange(other.size_, 0)),
          capacity_(std::exchange(other.capacity_, 0)) {}
    RawBuffer& operator=(RawBuffer&& other) noexcept {
        if (this != &other) {
            std::free(data_);
            data_ = std::exchange(other.data_, nullptr);
            size_ = std::exchange(other.size_, 0);
            capacity_ = std::exchange(other.capacity_, 0);
        }
        return *this;
    }
    RawBuffer(const RawBuffer&) = delete;
    RawBuffer& operator=(const RawBuffer&) = delete;
    ~RawBuffer() { std::free(data_); }

    T* data() { return data_; }
    const T* data() const { return data_; }
    std::size_t size() const { return size_; }
    std::size_t capacity() const { return capacity_; }
    T& operator[](std::size_t i) { return data_[i]; }
    const T& operator[](std::size_t i) const { return data_[i]; }

    // Room for `count` values in all; throws std::bad_alloc.
    void Reserve(std::size_t count) {
        if (count > capacity_) Resize(count);
    }
    // Appends `count` values; the room grows by half when it is short.
    void Append(const T* values, std::size_t count) {
        if (count > capacity_ - size_) Resize(std::max(size_ + count, capacity_ + capacity_ / 2));
        if (count != 0) std::memcpy(data_ + size_, values, count * sizeof(T));
        size_ += count;
    }
    void PushBack(const T& value) { Append(&value, 1); }
    // Keeps the first `count` values and gives back the room beyond them.
    void Fit(std::size_t count) {
        size_ = std::min(size_, count);
        if (capacity_ > size_) Resize(size_);
    }
    // Empties it and gives its memory back.
    void Clear() {
        std::free(std::exchange(data_, nullptr));
        size_ = capacity_ = 0;
    }

  private:
    void Resize(std::size_t count) {
        if (count == 0) {
            Clear();
            return;
        }
        if (count > SIZE_MAX / sizeof(T)) throw std::bad_alloc();
        void* moved = std::realloc(data_, count * sizeof(T));
        if (moved == nullptr) throw std::bad_alloc();
        data_ = static_cast<T*>(moved);
        capacity_ = count;
    }

    T* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

}  // namespace doze
