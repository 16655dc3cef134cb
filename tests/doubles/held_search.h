#pragma once
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "output/list_run.h"

namespace doze::testing {

// A search that stops inside the search function until Release is called,
// then runs RunSearch: lets a test look at the windows while a search is
// under way on its thread. A search on the windows' thread does not stop.
class HeldSearch {
  public:
    // Called on the search's thread when a search stops, with its path.
    std::function<void(const std::string&)> onHeld;

    SearchFunction Function();
    // The searches that have stopped so far, one path each.
    std::vector<std::string> Held();
    // Lets every search, waiting or still to come, go on.
    void Release();

  private:
    std::mutex mutex_;
    std::condition_variable released_;
    bool open_ = false;
    std::vector<std::string> held_;
};

}  // namespace doze::testing
