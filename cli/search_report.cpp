// SPDX-License-Identifier: MIT
#include "cli/search_report.h"

#include <string>

#include "output/list_sink.h"
#include "output/message_text.h"

namespace doze {
namespace {

// Standard error that cannot take a line loses it: nothing else could tell.
void Tell(int fd, std::string_view text) {
    [[maybe_unused]] const Result<void> lost = WriteFully(fd, text);
}

}  // namespace

void SearchReport::EntriesFound(std::int32_t count) {
    if (!terminal_) return;
    const auto now = std::chrono::steady_clock::now();
    if (shown_ && now - last_ < std::chrono::milliseconds(100)) return;
    last_ = now;
    shown_ = true;
    std::string line = "\r";
    line.append(std::to_string(count));
    line.append(" entries found");
    Tell(fd_, line);
}

void SearchReport::FolderNotListed(const std::string& path, const std::string& cause) {
    if (quiet_) return;
    Finish();
    Tell(fd_,
         SafeMessageText("dozedozovo-list: warning: " + MessagePath(path) + ": " + cause) + "\n");
}

void SearchReport::FileNotRead(const std::string& path, const std::string& cause) {
    FolderNotListed(path, cause);
}

void SearchReport::Finish() {
    if (shown_) Tell(fd_, "\r\033[K");
    shown_ = false;
}

}  // namespace doze
