// SPDX-License-Identifier: MIT
#pragma once
#include <sys/types.h>

#include <string>
#include <string_view>

#include "search/result.h"

namespace doze {

// How a Commit ended that did not fail.
enum class Committed {
    Stored,      // the list is in place
    TargetKept,  // a file appeared at the target and was to be kept: the list was dropped
};

// Where a writer's bytes go. Nothing counts as written until Commit returns
// Stored; a sink destroyed without it leaves its target as it was.
class ListSink {
  public:
    virtual ~ListSink() = default;
    // Throws WriteFailure.
    virtual void Write(std::string_view bytes) = 0;
    // Throws WriteFailure.
    virtual Committed Commit() = 0;
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
    Committed Commit() override {
        Flush();
        return Committed::Stored;
    }
    std::string Name() const override { return name_; }

  private:
    void Deliver(std::string_view bytes) override;
    int fd_;
    std::string name_;
};

// Writes the whole of `bytes` to `fd` with `write`, going on after short
// writes and interruptions; the failure (ENOSPC when a write stores nothing
// without saying why) when it cannot.
Result<void> WriteFully(int fd, std::string_view bytes,
                        ssize_t (*write)(int, const void*, size_t) = nullptr);

}  // namespace doze
