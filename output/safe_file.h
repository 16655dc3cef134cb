// SPDX-License-Identifier: MIT
#pragma once
#include <sys/stat.h>
#include <sys/types.h>

#include <functional>
#include <string>
#include <string_view>

#include "output/file_calls.h"
#include "output/list_sink.h"
#include "output/write_target.h"
#include "search/result.h"
#include "search/unique_fd.h"

namespace doze {

// Asked, with the target as the caller named it, whether a file that has
// appeared there since the user was asked may be replaced.
using ReplaceConsent = std::function<bool(const std::string& target)>;

// Throws the WriteFailure that a ReplacingFile for `target` would throw
// before writing anything: for a link it may not follow, a folder or another
// thing that is no regular file, a folder that is missing or in which this
// user may not make a file. For a check before a long search.
void CheckWritable(const std::string& target, const FileCalls& calls = SystemFileCalls());

// Writes a file as one step: the bytes go into an unnamed file in the
// target's folder (a hidden temporary one where the file system has no
// unnamed files, or where they cannot be given a name), which gets the
// target's name only at Commit, complete and synced. A link as target, or in
// its folder part, is written through to what it names, unless that link lies
// in a sticky, world-writable folder and belongs neither to this user nor to
// the folder's owner: that is refused before anything is made. An existing
// file keeps its permission bits (and its owner when root writes); a new one
// gets 0666 less the umask; on a file system that keeps no permissions, the
// file has what the file system gives. A target that exists and is not a
// regular file is refused.
// An empty `consent` means the caller may replace the target. Otherwise the
// target did not exist when the user was asked: a file there at Commit is
// replaced only when consent says so, else Commit drops the list and gives
// Committed::TargetKept. Where
// the file system can neither link nor rename without replacing, the new name
// is claimed with an empty file made only where nothing has that name, and the
// list is renamed over it.
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

    Committed Commit() override;
    std::string Name() const override { return target_; }

  private:
    [[noreturn]] void Fail(const std::string& what, const SystemError& error);
    void Prepare();
    void Deliver(std::string_view bytes) override;
    void SetOwnerAndMode();
    Result<void> MakeHiddenName(const std::function<Result<void>(const char*)>& make);
    UniqueFd MakeHiddenFile();
    Result<void> LinkUnnamed(const char* name);
    void BecomeNamed(const SystemError& cause);
    bool NameWithoutReplacing();
    bool ClaimAndRename();
    void NameReplacing();
    void CloseFile();
    void ForgetTemp();
    void SyncFolder();
    void Discard();

    std::string target_;
    std::string name_;  // of the file written, in folder_
    std::string temp_;  // hidden temporary name in folder_, while there is one
    const FileCalls calls_;
    ReplaceConsent consent_;
    mode_t mode_ = 0;
    uid_t owner_ = static_cast<uid_t>(-1);  // to give the file; -1: this user
    gid_t group_ = static_cast<gid_t>(-1);
    UniqueFd folder_;  // the target's folder
    UniqueFd fd_;      // the file written, until it is closed
    bool unnamed_ = false;
    bool replace_ = false;  // replace at once, without trying to keep what is there
    bool claimed_ = false;  // name_ is an empty file of ours, to go on failure
};

}  // namespace doze
