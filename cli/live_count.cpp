#include "cli/live_count.h"

#include <string>

#include "output/list_sink.h"

namespace doze {

void LiveCount::EntriesFound(std::int32_t count) {
    const auto now = std::chrono::steady_clock::now();
    if (shown_ && now - last_ < std::chrono::milliseconds(100)) return;
    last_ = now;
    shown_ = true;
    std::string line = "\r";
    line.append(std::to_string(count));
    line.append(" entries found");
    WriteFully(fd_, line);
}

void LiveCount::Finish() {
    if (shown_) WriteFully(fd_, "\r\033[K");
    shown_ = false;
}

}  // namespace doze
