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

// A sink that gathers the bytes and hands them on in large pieces.
class BufferedSink : public ListSink {
  public:
    void Write(std::string_view bytes) override;

  protected:
    // Hands on what was gathered; throws WriteFailure.
    void Flush();
    // Stores `bytes` in the target; throws WriteFailure.
    virtual void Deliver(std::string_view bytes) = 0;

  private:
    std::string buffer_;
};

// Writes straight to an open descriptor (standard output), every byte of it.
class DescriptorSink : public BufferedSink {
  public:
    DescriptorSink(int fd, std::string name) : fd_(fd), name_(std::move(name)) {}
    void Commit() override { Flush(); }
    std::string Name() const override { return name_; }

  private:
    void Deliver(std::string_view bytes) override;
    int fd_;
    std::string name_;
};

// Writes the whole of `bytes` to `fd` with `write`, going on after short
// writes and interruptions. Returns 0, or the errno of the failure (ENOSPC
// when a write stores nothing without saying why).
int WriteFully(int fd, std::string_view bytes,
               ssize_t (*write)(int, const void*, size_t) = nullptr);

}  // namespace doze
