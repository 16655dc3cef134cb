// SPDX-License-Identifier: MIT
#pragma once
#include <pthread.h>

#include <cstddef>
#include <utility>

namespace doze {

// A thread with a stack of a chosen size, joined when its owner goes.
// std::jthread cannot choose its stack, and the default one (8 MiB) costs a
// run with limited memory address space it may not have to spare.
class JoiningThread {
  public:
    JoiningThread() = default;
    JoiningThread(JoiningThread&& other) noexcept
        : thread_(other.thread_), started_(std::exchange(other.started_, false)) {}
    JoiningThread& operator=(JoiningThread&&) = delete;
    JoiningThread(const JoiningThread&) = delete;
    ~JoiningThread() {
        if (started_) ::pthread_join(thread_, nullptr);
    }

    // Runs `run(argument)` on a new thread with a stack of `stackBytes`;
    // false when no thread can be had (or this one runs already).
    bool Start(std::size_t stackBytes, void* (*run)(void*), void* argument) {
        if (started_) return false;
        pthread_attr_t attributes;
        if (::pthread_attr_init(&attributes) != 0) return false;
        ::pthread_attr_setstacksize(&attributes, stackBytes);
        started_ = ::pthread_create(&thread_, &attributes, run, argument) == 0;
        ::pthread_attr_destroy(&attributes);
        return started_;
    }

  private:
    pthread_t thread_{};
    bool started_ = false;
};

}  // namespace doze
