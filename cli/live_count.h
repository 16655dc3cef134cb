#pragma once
#include <chrono>
#include <cstdint>

#include "search/walker.h"

namespace doze {

// A count of entries found, redrawn on one terminal line at most ten times a
// second and erased by Finish.
class LiveCount : public SearchProgress {
  public:
    explicit LiveCount(int fd) : fd_(fd) {}
    void EntriesFound(std::int32_t count) override;
    void Finish();

  private:
    int fd_;
    bool shown_ = false;
    std::chrono::steady_clock::time_point last_{};
};

}  // namespace doze
