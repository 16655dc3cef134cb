// SPDX-License-Identifier: MIT
#pragma once
#include <cerrno>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace doze {

// A system call that failed: its errno, the path it was given (a name below
// an open folder; empty for a descriptor, or where making the text could
// itself fail) and what it was to do. A run turns it into a sentence for the
// user only where it reports it.
struct SystemError {
    int code = 0;
    std::string path;
    const char* operation = "";
};

// The failure of the call that has just set errno.
inline SystemError LastError(const char* operation, std::string_view path = {}) {
    const int code = errno;
    return {code, std::string(path), operation};
}

// What the system layer gives: a value, or the SystemError that kept it from one.
template <typename T>
class [[nodiscard]] Result {
  public:
    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    Result(SystemError error) : state_(std::in_place_index<1>, std::move(error)) {}

    explicit operator bool() const { return state_.index() == 0; }
    T& operator*() { return std::get<0>(state_); }
    const T& operator*() const { return std::get<0>(state_); }
    T* operator->() { return &std::get<0>(state_); }
    const T* operator->() const { return &std::get<0>(state_); }
    // Only for a Result without a value.
    const SystemError& Error() const { return std::get<1>(state_); }

  private:
    std::variant<T, SystemError> state_;
};

// A call that gives nothing but success or its failure.
template <>
class [[nodiscard]] Result<void> {
  public:
    Result() = default;
    Result(SystemError error) : error_(std::move(error)) {}

    explicit operator bool() const { return !error_; }
    const SystemError& Error() const { return *error_; }

  private:
    std::optional<SystemError> error_;
};

}  // namespace doze
