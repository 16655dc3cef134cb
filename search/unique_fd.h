// SPDX-License-Identifier: MIT
#pragma once
#include <cerrno>
#include <utility>

#include "search/result.h"

namespace doze {

// An open descriptor that closes itself, through the close call of the call
// table it came from, so that tests see every close. Move-only.
class UniqueFd {
  public:
    using CloseCall = int (*)(int);

    UniqueFd() = default;
    // Takes `fd` over; a negative one is none.
    UniqueFd(int fd, CloseCall close) : fd_(fd), close_(close) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)), close_(other.close_) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            Reset();
            fd_ = std::exchange(other.fd_, -1);
            close_ = other.close_;
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { Reset(); }

    int Get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }

    // Closes it now, with what the close says: on Linux the descriptor is
    // gone even when the close fails (a write-back error of NFS, say).
    Result<void> Close() {
        if (fd_ < 0) return {};
        if (close_(std::exchange(fd_, -1)) != 0) return LastError("close");
        return {};
    }
    // Closes it, if open, leaving errno as it was.
    void Reset() {
        if (fd_ < 0) return;
        const int saved = errno;
        close_(std::exchange(fd_, -1));
        errno = saved;
    }

  private:
    int fd_ = -1;
    CloseCall close_ = nullptr;
};

}  // namespace doze
