#pragma once
#include <sys/types.h>

#include <string>
#include <string_view>

#include "output/list_sink.h"

namespace doze {

// The system calls the replacement makes, so tests can make them fail.
struct FileCalls {
    ssize_t (*write)(int, const void*, size_t);
    int (*fsync)(int);
    int (*close)(int);
    int (*rename)(const char*, const char*);
};
const FileCalls& SystemFileCalls();

// Replaces a file as one step: the bytes go into a new temporary file in the
// target's folder, which is synced and renamed over the target only at
// Commit. A link as target is written through to the file it names; an
// existing file keeps its permission bits; a new one gets 0666 less the
// umask. A target that exists and is not a regular file is refused. On any
// failure the target is as before, the temporary file is gone, and a
// WriteFailure naming the target and the cause is thrown.
class ReplacingFile : public BufferedSink {
  public:
    explicit ReplacingFile(std::string targetPath, const FileCalls& calls = SystemFileCalls());
    ~ReplacingFile() override;
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    void Commit() override;
    std::string Name() const override { return target_; }

    // The file that will be replaced (links resolved).
    const std::string& ResolvedTarget() const { return resolved_; }

  private:
    [[noreturn]] void Fail(const std::string& what, int err);
    void Deliver(std::string_view bytes) override;
    void Discard();

    std::string target_;
    std::string resolved_;
    std::string tempPath_;
    const FileCalls& calls_;
    int fd_ = -1;
};

// True when something other than a folder stands at `path`: a file, hidden
// or not, a link (even a dangling one), a FIFO. Writing there replaces it, or
// fails, so the user is asked first.
bool TargetExists(const std::string& path);

// Where a write to `path` lands once links are followed: the path itself when
// it is no link, else the last path in its chain of links (which may not exist
// yet). Throws WriteFailure for a chain that loops.
std::string ResolveWriteTarget(const std::string& path);

}  // namespace doze
