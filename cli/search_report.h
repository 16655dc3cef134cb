// SPDX-License-Identifier: MIT
#pragma once
#include <chrono>
#include <cstdint>
#include <string>

#include "search/walker.h"

namespace doze {

// What the companion tells on standard error while it searches: a count of
// entries found, redrawn on one line at most ten times a second when standard
// error is a terminal (erased by Finish), and a warning line for each folder
// or file that could not be read, unless quiet.
class SearchReport : public SearchProgress {
  public:
    SearchReport(int fd, bool terminal, bool quiet) : fd_(fd), terminal_(terminal), quiet_(quiet) {}
    void EntriesFound(std::int32_t count) override;
    void FolderNotListed(const std::string& path, const std::string& cause) override;
    void FileNotRead(const std::string& path, const std::string& cause) override;
    void Finish();

  private:
    int fd_;
    bool terminal_;
    bool quiet_;
    bool shown_ = false;
    std::chrono::steady_clock::time_point last_{};
};

}  // namespace doze
