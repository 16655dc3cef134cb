// SPDX-License-Identifier: MIT
#include "app/volume_table.h"

#include <dirent.h>
#include <limits.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <algorithm>
#include <cstdlib>
#include <map>

#include "search/mount_table.h"

namespace doze {
namespace {

// Names under /dev/disk/by-label escape unsafe bytes as \xHH.
QString DecodeLabel(const std::string& name) {
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name.compare(i, 2, "\\x") == 0 && i + 3 < name.size()) {
            out += static_cast<char>(std::strtol(name.substr(i + 2, 2).c_str(), nullptr, 16));
            i += 3;
        } else {
            out += name[i];
        }
    }
    return QString::fromUtf8(out);
}

std::string RealPath(const std::string& path) {
    char buffer[PATH_MAX];
    return realpath(path.c_str(), buffer) != nullptr ? std::string(buffer) : path;
}

// Device path (links resolved) -> label, from /dev/disk/by-label.
std::map<std::string, QString> ReadLabels() {
    std::map<std::string, QString> labels;
    const std::string folder = "/dev/disk/by-label/";
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return labels;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        labels[RealPath(folder + name)] = DecodeLabel(name);
    }
    closedir(dir);
    return labels;
}

bool IsUnder(std::string_view path, std::string_view root) {
    if (root == "/") return !path.empty() && path.front() == '/';
    if (path.substr(0, root.size()) != root) return false;
    return path.size() == root.size() || path[root.size()] == '/';
}

// A disk image mounted through a loop device: /dev/loop0, /dev/loop12...
bool IsLoopDevice(std::string_view source) {
    constexpr std::string_view kLoop = "/dev/loop";
    if (source.substr(0, kLoop.size()) != kLoop || source.size() == kLoop.size()) return false;
    return std::all_of(source.begin() + kLoop.size(), source.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

bool IsNetworkShare(std::string_view type) {
    for (std::string_view share : {"nfs", "nfs4", "cifs", "smb3", "smbfs", "fuse.sshfs"}) {
        if (type == share) return true;
    }
    return false;
}

// Folders of the system itself, whatever is mounted below them; /run/media
// holds the user's removable media.
bool IsSystemFolder(std::string_view point) {
    if (IsUnder(point, "/run/media") && point != "/run/media") return false;
    for (std::string_view system : {"/run", "/proc", "/sys", "/dev", "/snap", "/boot"}) {
        if (IsUnder(point, system)) return true;
    }
    return false;
}

// What a file manager offers as a place: "/", a mounted block device or a
// network share; a loop-mounted disk image only where the user's own
// removable disks are mounted (udisks puts them there); never an automount
// placeholder nor anything in the system's own folders.
bool IsPlace(const MountEntry& mount, const std::string& user) {
    if (mount.mountPoint == "/") return true;
    if (mount.type == "autofs" || IsSystemFolder(mount.mountPoint)) return false;
    if (IsLoopDevice(mount.source)) {
        return !user.empty() && (IsUnder(mount.mountPoint, "/media/" + user) ||
                                 IsUnder(mount.mountPoint, "/run/media/" + user));
    }
    return mount.source.starts_with("/dev/") || IsNetworkShare(mount.type);
}

// Whether all that `inner` shows is also seen through `outer`: the same file
// system, and a folder of it at or below the one mounted at `outer`.
bool ShowsAlready(const MountEntry& outer, const MountEntry& inner) {
    return !outer.device.empty() && outer.device == inner.device && IsUnder(inner.root, outer.root);
}

}  // namespace

std::vector<Volume> ParseVolumes(std::string_view mountinfo, const LabelLookup& labels,
                                 const std::string& user) {
    // The mount seen last at a point is the one that shows there.
    std::map<std::string, MountEntry> byRoot;
    for (MountEntry& mount : ParseMountTable(mountinfo))
        byRoot[mount.mountPoint] = std::move(mount);
    std::erase_if(byRoot, [&user](const auto& point) { return !IsPlace(point.second, user); });
    std::vector<Volume> volumes;
    for (const auto& place : byRoot) {
        const std::string& point = place.first;
        const MountEntry& mount = place.second;
        // A bind mount of a folder offered already, or a second mount of one file system.
        const bool seen = std::any_of(byRoot.begin(), byRoot.end(), [&](const auto& other) {
            return other.first != point && ShowsAlready(other.second, mount) &&
                   (other.second.root != mount.root || other.first < point);
        });
        if (!seen)
            volumes.push_back({point, mount.source, labels ? labels(mount.source) : QString()});
    }
    // "/" comes first: every other mount point begins with it.
    return volumes;
}

std::vector<Volume> LoadVolumes() {
    const auto labels = ReadLabels();
    const passwd* account = getpwuid(geteuid());
    auto volumes = ParseVolumes(
        ReadMountTable(),
        [&labels](const std::string& source) {
            const auto found = labels.find(RealPath(source));
            return found != labels.end() ? found->second : QString();
        },
        account != nullptr ? account->pw_name : "");
    std::erase_if(volumes, [](const Volume& volume) {
        struct stat info {};
        return stat(volume.root.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
    });
    return volumes;
}

int VolumeHolding(const std::vector<Volume>& volumes, std::string_view path) {
    std::size_t best = volumes.size();
    for (std::size_t i = 0; i < volumes.size(); ++i) {
        const std::string& root = volumes[i].root;
        if (IsUnder(path, root) &&
            (best == volumes.size() || root.size() > volumes[best].root.size()))
            best = i;
    }
    return best == volumes.size() ? -1 : static_cast<int>(best);
}

QString VolumeCaption(const Volume& volume) {
    QString root = QFile::decodeName(QByteArray::fromStdString(volume.root));
    if (volume.label.isEmpty()) return root;
    return root + QStringLiteral(" [") + volume.label + u']';
}

}  // namespace doze
