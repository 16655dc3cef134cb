// SPDX-License-Identifier: MIT
#include "output/list_sink.h"

#include <unistd.h>

#include <cerrno>

#include "output/write_failure.h"
#include "search/errors.h"

namespace doze {

Result<void> WriteFully(int fd, std::string_view bytes,
                        ssize_t (*write)(int, const void*, size_t)) {
    if (write == nullptr) write = ::write;
    while (!bytes.empty()) {
        const ssize_t done = write(fd, bytes.data(), bytes.size());
        if (done < 0) {
            if (errno == EINTR) continue;
            return LastError("write");
        }
        if (done == 0) return SystemError{ENOSPC, {}, "write"};
        bytes.remove_prefix(static_cast<std::size_t>(done));
    }
    return {};
}

void BufferedSink::Write(std::string_view bytes) {
    buffer_.append(bytes);
    if (buffer_.size() >= 1 << 16) Flush();
}

void BufferedSink::Flush() {
    if (!buffer_.empty()) Deliver(buffer_);
    buffer_.clear();
}

void DescriptorSink::Deliver(std::string_view bytes) {
    if (const Result<void> written = WriteFully(fd_, bytes); !written) {
        throw WriteFailure("Cannot write to " + name_ + ": " +
                           SystemErrorText(written.Error().code) + ".");
    }
}

}  // namespace doze
