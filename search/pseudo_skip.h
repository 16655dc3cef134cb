// SPDX-License-Identifier: MIT
#pragma once
#include <sys/types.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_set>

#include "search/dir_listing.h"
#include "search/mount_table.h"

namespace doze {

// Which subfolders a search passes over: the mount points of kernel pseudo
// file systems, known by their path, and by their device wherever else such
// a file system is mounted (or reached under another path).
class PseudoMountSkip {
  public:
    // Looks up the device of each mount point in `mountPoints` that is one,
    // with `calls`.
    explicit PseudoMountSkip(const MountSet& mountPoints,
                             const ListingCalls& calls = SystemListingCalls());

    // True when the subfolder `name` of the folder `folder` is passed over
    // by its path.
    bool SkipsPath(const std::string& folder, std::string_view name) const;
    // True when `sub`, what the look at a subfolder of a folder on the
    // device `folderDev` found, is passed over by its device. Never allocates.
    bool SkipsDevice(dev_t folderDev, const Result<FolderId>& sub) const;

  private:
    const MountSet& paths_;
    std::unordered_set<std::size_t> lengths_;
    std::unordered_set<dev_t> devices_;
};

}  // namespace doze
