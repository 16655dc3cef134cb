// SPDX-License-Identifier: MIT
#include "search/pseudo_skip.h"

#include <fcntl.h>
#include <sys/stat.h>

#include "search/path_text.h"

namespace doze {
namespace {

bool Look(const ListingCalls& calls, const std::string& path, struct stat& st) {
    return calls.fstatat(AT_FDCWD, path.c_str(), &st, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT) == 0;
}

}  // namespace

PseudoMountSkip::PseudoMountSkip(const MountSet& mountPoints, const ListingCalls& calls)
    : paths_(mountPoints) {
    for (const std::string& path : mountPoints) {
        lengths_.insert(path.size());
        struct stat mounted {
        }, below{};
        // Only a real mount point tells its file system's device.
        if (Look(calls, path, mounted) && Look(calls, AddBackslash(path) + "..", below) &&
            mounted.st_dev != below.st_dev) {
            devices_.insert(mounted.st_dev);
        }
    }
}

bool PseudoMountSkip::SkipsDevice(dev_t folderDev, const Result<FolderId>& sub) const {
    return sub && sub->dev != folderDev && devices_.count(sub->dev) != 0;
}

bool PseudoMountSkip::SkipsPath(const std::string& folder, std::string_view name) const {
    if (lengths_.count(JoinedLength(folder, name)) == 0) return false;
    std::string path = folder;
    AppendToPath(path, name);
    return paths_.count(path) != 0;
}

}  // namespace doze
