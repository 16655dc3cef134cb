// SPDX-License-Identifier: MIT
#pragma once
#include <QString>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace doze {

// One place that holds the user's files, as the drive list offers it.
struct Volume {
    std::string root;    // mount point, a byte-string path
    std::string source;  // the mounted device or share, as the mount table names it
    QString label;       // the file-system label; empty when it has none
};

// Where the drive list gets its volumes; tests hand in a table of their own.
using VolumeSource = std::function<std::vector<Volume>()>;

// Label of a device path, or empty.
using LabelLookup = std::function<QString(const std::string& source)>;

// The places in mount-table text of /proc/self/mountinfo form, as a file
// manager offers them to `user`: "/", mounted block devices (disks, USB
// sticks), network shares (nfs, nfs4, cifs, smb3, smbfs, fuse.sshfs), and
// disk images mounted through loop devices below /media/USER or
// /run/media/USER; left out are other loop-mounted images (snaps), automount
// placeholders, whatever is mounted below /run (but /run/media), /proc,
// /sys, /dev, /snap and /boot, and bind mounts of folders offered already (a
// file system mounted twice shows at the first of its points). Each mount
// point once, as the mount seen last there shows it; octal escapes decoded;
// "/" first, the rest in byte order of their paths.
std::vector<Volume> ParseVolumes(std::string_view mountinfo, const LabelLookup& labels,
                                 const std::string& user);

// The volumes of the running system for the user running it:
// /proc/self/mountinfo, labels from /dev/disk/by-label, mount points that are
// not folders (files mounted singly) left out.
std::vector<Volume> LoadVolumes();

// Index of the volume holding `path`: the deepest root above it; -1 when none.
int VolumeHolding(const std::vector<Volume>& volumes, std::string_view path);

// How the drive list shows a volume: its root path, then the label in brackets.
QString VolumeCaption(const Volume& volume);

}  // namespace doze
