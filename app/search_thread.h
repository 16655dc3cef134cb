#pragma once
#include <functional>

namespace doze {

// Runs `work` on a thread of its own while this thread, the windows' thread,
// goes on handling window events: the windows keep painting and answering
// the window manager, but mouse, keyboard and close requests made meanwhile
// are dropped. Returns when `work` has returned; what it threw (out of memory
// included) is thrown again here. Nothing else may touch what `work` uses
// until this returns.
void RunOffWindowThread(const std::function<void()>& work);

}  // namespace doze
