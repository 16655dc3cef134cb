#include "doubles/held_search.h"

#include <QCoreApplication>
#include <QThread>

#include "search/walker.h"

namespace doze::testing {

SearchFunction HeldSearch::Function() {
    return [this](SearchParams& params, SearchState& state, SearchProgress* progress) {
        {
            std::unique_lock lock(mutex_);
            held_.push_back(params.Path);
            if (onHeld) onHeld(params.Path);
            // On the windows' thread nothing could release it.
            if (QThread::currentThread() != QCoreApplication::instance()->thread()) {
                released_.wait(lock, [this] { return open_; });
            }
        }
        RunSearch(params, state, progress);
    };
}

std::vector<std::string> HeldSearch::Held() {
    std::lock_guard lock(mutex_);
    return held_;
}

void HeldSearch::Release() {
    {
        std::lock_guard lock(mutex_);
        open_ = true;
    }
    released_.notify_all();
}

}  // namespace doze::testing
