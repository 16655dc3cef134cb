#pragma once
#include <sys/types.h>

#include <functional>
#include <string>
#include <string_view>

#include "output/list_sink.h"
#include "output/write_target.h"

namespace doze {

// The system calls the replacement makes, so tests can make them fail.
struct FileCalls {
    ssize_t (*write)(int, const void*, size_t);
    int (*fsync)(int);  // of the new file
    int (*close)(int);  // of the new file
    // Opens an unnamed file (O_TMPFILE) in the folder open as the first
    // argument; EOPNOTSUPP, EISDIR or EINVAL mean a hidden temporary file instead.
    int (*openUnnamed)(int, mode_t);
    int (*link)(int, const char*, int, const char*, int);             // linkat
    int (*rename)(int, const char*, int, const char*, unsigned int);  // renameat2
    int (*syncFolder)(int);  // fsync of the target's folder once the name is given
};
const FileCalls& SystemFileCalls();

// Asked, with the target as the caller named it, whether a file that has
// appeared there since the user was asked may be replaced.
using ReplaceConsent = std::function<bool(const std::string& target)>;

// Writes a file as one step: the bytes go into an unnamed file in the
// target's folder (a hidden temporary one where the file system has no
// unnamed files), which gets the target's name only at Commit, complete and
// synced. A link as target is written through to the file it names, unless a
// link of the chain lies in a sticky, world-writable folder and belongs
// neither to this user nor to the folder's owner: that is refused before
// anything is made. An existing file keeps its permission bits (and its owner
// when root writes); a new one gets 0666 less the umask. A target that exists
// and is not a regular file is refused.
// An empty `consent` means the caller may replace the target. Otherwise the
// target did not exist when the user was asked: a file there at Commit is
// replaced only when consent says so, else TargetAppeared is thrown.
// On any failure the target is as before, no temporary file is left, and a
// WriteFailure naming the target and the cause is thrown. The one exception:
// a failed sync of the folder after the name was given; the list is then in
// place, and the sentence says it may not survive a crash.
class ReplacingFile : public BufferedSink {
  public:
    explicit ReplacingFile(std::string targetPath, const FileCalls& calls = SystemFileCalls(),
                           ReplaceConsent consent = {});
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
    int MakeHiddenName(const std::function<int(const char*)>& make, const char* what);
    int LinkUnnamed(const char* name);
    bool NameWithoutReplacing();
    void NameReplacing();
    void CloseFile();
    void SyncFolder();
    void Discard();

    std::string target_;
    std::string resolved_;
    std::string name_;  // of the resolved target, in folder_
    std::string temp_;  // hidden temporary name in folder_, while there is one
    const FileCalls calls_;
    ReplaceConsent consent_;
    int folder_ = -1;
    int fd_ = -1;
    bool unnamed_ = false;
    bool replace_ = false;  // replace at once, without trying to keep what is there
};

}  // namespace doze
