#pragma once
#include <sys/types.h>

#include <string>
#include <string_view>

namespace doze {

// Where a writer's bytes go. Nothing counts as written until Commit returns;
// a sink destroyed without Commit leaves its target as it was.
class ListSink {
  public:
    virtual ~ListSink() = default;
    // Throws WriteFailure.
    virtual void Write(std::string_view bytes) = 0;
    // Throws WriteFailure.
    virtual void Commit() = 0;
    // The target as the user named it, for messages.
    virtual std::string Name() const = 0;
};

// Writes straight to an open descriptor (standard output), every byte of it.
class DescriptorSink : public ListSink {
  public:
    DescriptorSink(int fd, std::string name) : fd_(fd), name_(std::move(name)) {}
    void Write(std::string_view bytes) override;
    void Commit() override;
    std::string Name() const override { return name_; }

  private:
    void Flush();
    int fd_;
    std::string name_;
    std::string buffer_;
};

// Writes the whole of `bytes` to `fd` with `write`, going on after short
// writes and interruptions. Returns 0, or the errno of the failure (ENOSPC
// when a write stores nothing without saying why).
int WriteFully(int fd, std::string_view bytes,
               ssize_t (*write)(int, const void*, size_t) = nullptr);

}  // namespace doze
