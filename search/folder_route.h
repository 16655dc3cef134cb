// SPDX-License-Identifier: MIT
#pragma once
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "search/listing_calls.h"
#include "search/result.h"
#include "search/unique_fd.h"

namespace doze {

// Identity of a folder on its file system, to notice a folder met again.
struct FolderId {
    dev_t dev = 0;
    ino_t ino = 0;
    bool operator==(const FolderId&) const = default;
};

struct FolderIdHash {
    std::size_t operator()(const FolderId& id) const {
        return std::hash<std::uint64_t>()(static_cast<std::uint64_t>(id.ino) * 0x9e3779b97f4a7c15u ^
                                          static_cast<std::uint64_t>(id.dev));
    }
};

// The way from a walk's root down to one of its folders: the folder's full
// path, and for each folder on the way (the root first, the folder itself
// last) where its name ends in `path`, the identity recorded for it and the
// key its walk knows it by. A route may keep some of its folders open between
// listings (HoldUpTo), so that the next route, moved there from this one, is
// opened below the nearest of them instead of from the top.
class FolderRoute {
  public:
    struct Step {
        std::size_t end;
        FolderId id;
        std::uint64_t key = 0;
        UniqueFd held;  // open and kept by the route, or none
    };

    FolderRoute() = default;
    FolderRoute(const FolderRoute&) = delete;
    FolderRoute& operator=(const FolderRoute&) = delete;

    // Starts the route at the root `root`, a path of any length.
    void Start(std::string_view root, std::uint64_t key = 0);
    // Goes down into the folder `name`, recorded as `id`.
    void Descend(std::string_view name, FolderId id, std::uint64_t key = 0);
    // Keeps the first `depth` steps (the root is step 0), closing what is
    // held below them.
    void Truncate(std::size_t depth);
    // The root's identity, once it is known.
    void SetRootId(FolderId id);

    // True when `id` is that of a folder on the way above the last one.
    bool Repeats(const FolderId& id) const;

    // How many folders it keeps open at most; 0 (the default): none.
    void HoldUpTo(std::size_t most) { holdMost_ = most; }
    // Takes `fd`, the last folder's descriptor, over to keep it open for
    // later routes, closing the highest one held when that makes too many;
    // false (and `fd` left as it is) when it keeps none.
    bool Hold(UniqueFd& fd);
    // Closes every folder it keeps open.
    void DropHeld();
    std::size_t Held() const { return held_.size(); }

    const std::string& Path() const { return path_; }
    const std::vector<Step>& Steps() const { return steps_; }

  private:
    void Forget(const FolderId& id, std::size_t step);

    std::string path_;
    std::vector<Step> steps_;
    // Identities of the steps past the first kFewSteps, for Repeats.
    std::unordered_map<FolderId, std::uint32_t, FolderIdHash> deepIds_;
    std::size_t holdMost_ = 0;
    std::vector<std::size_t> held_;  // the steps kept open, the highest first
};

// The folder at the end of a route, open for reading, and its identity.
struct OpenedFolder {
    UniqueFd fd;
    FolderId id;
};

// Opens the folder at the end of `route` for reading. The root is opened
// following links, every folder below it not following a link in its place.
// The way is opened below the deepest folder the route keeps open above its
// end, else from the root's path; a path too long for one call is opened
// piece by piece, each piece relative to the one before, whose descriptor is
// closed at once. When the route goes below the root, the folder opened and
// each folder at which the path is cut must be the ones recorded. A failure
// for which RouteChanged is true tells that a folder on the way is now a
// link, no folder, or another folder than recorded.
Result<OpenedFolder> OpenRoute(const ListingCalls& calls, const FolderRoute& route);

// The operation of a route's failure that says a folder on the way changed.
inline constexpr char kFolderChanged[] = "find the folder recorded";
inline bool RouteChanged(const SystemError& error) {
    return error.operation == kFolderChanged;
}

}  // namespace doze
