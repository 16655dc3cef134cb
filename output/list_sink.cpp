#include "output/list_sink.h"

#include <unistd.h>

#include <cerrno>

#include "output/write_failure.h"
#include "search/errors.h"

namespace doze {

int WriteFully(int fd, std::string_view bytes, ssize_t (*write)(int, const void*, size_t)) {
    if (write == nullptr) write = ::write;
    while (!bytes.empty()) {
        const ssize_t done = write(fd, bytes.data(), bytes.size());
        if (done < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (done == 0) return ENOSPC;
        bytes.remove_prefix(static_cast<std::size_t>(done));
    }
    return 0;
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
    const int err = WriteFully(fd_, bytes);
    if (err != 0) {
        throw WriteFailure("Cannot write to " + name_ + ": " + SystemErrorText(err) + ".");
    }
}

}  // namespace doze
