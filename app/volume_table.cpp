#include "app/volume_table.h"

#include <dirent.h>
#include <limits.h>
#include <sys/stat.h>

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

}  // namespace

std::vector<Volume> ParseVolumes(std::string_view mountinfo, const LabelLookup& labels) {
    std::map<std::string, Volume> byRoot;
    for (const MountEntry& mount : ParseMountTable(mountinfo)) {
        if (IsPseudoFileSystem(mount.type)) continue;
        Volume volume{mount.mountPoint, mount.source, {}};
        if (labels) volume.label = labels(volume.source);
        byRoot[volume.root] = volume;
    }
    std::vector<Volume> volumes;
    if (const auto root = byRoot.find("/"); root != byRoot.end()) {
        volumes.push_back(root->second);
        byRoot.erase(root);
    }
    for (auto& [path, volume] : byRoot) volumes.push_back(volume);
    return volumes;
}

std::vector<Volume> LoadVolumes() {
    const auto labels = ReadLabels();
    auto volumes = ParseVolumes(ReadMountTable(), [&labels](const std::string& source) {
        const auto found = labels.find(RealPath(source));
        return found != labels.end() ? found->second : QString();
    });
    std::erase_if(volumes, [](const Volume& volume) {
        struct stat info {};
        return stat(volume.root.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
    });
    return volumes;
}

int VolumeHolding(const std::vector<Volume>& volumes, std::string_view path) {
    int best = -1;
    for (int i = 0; i < static_cast<int>(volumes.size()); ++i) {
        const std::string& root = volumes[i].root;
        if (IsUnder(path, root) && (best < 0 || root.size() > volumes[best].root.size())) best = i;
    }
    return best;
}

QString VolumeCaption(const Volume& volume) {
    const QString root = QFile::decodeName(QByteArray::fromStdString(volume.root));
    return volume.label.isEmpty() ? root : root + QStringLiteral(" [") + volume.label + ']';
}

}  // namespace doze
