#include "app/volume_table.h"

#include <dirent.h>
#include <limits.h>
#include <sys/stat.h>

#include <QFile>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "search/pseudo_mounts.h"

namespace doze {
namespace {

// Mount-table fields escape blanks, tabs, newlines and backslashes as \ooo.
std::string DecodeOctal(std::string_view field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const auto isOct = [](char c) { return c >= '0' && c <= '7'; };
            if (isOct(field[i + 1]) && isOct(field[i + 2]) && isOct(field[i + 3])) {
                out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                         (field[i + 3] - '0'));
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

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
    std::istringstream lines{std::string(mountinfo)};
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream in(line);
        std::vector<std::string> fields{std::istream_iterator<std::string>(in), {}};
        const auto dash = std::find(fields.begin(), fields.end(), "-");
        if (fields.size() < 5 || dash == fields.end() || std::distance(dash, fields.end()) < 3) {
            continue;
        }
        const std::string& type = *(dash + 1);
        if (IsPseudoFileSystem(type)) continue;
        Volume volume{DecodeOctal(fields[4]), DecodeOctal(*(dash + 2)), {}};
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
    std::ifstream file("/proc/self/mountinfo");
    const std::string text{std::istreambuf_iterator<char>(file), {}};
    const auto labels = ReadLabels();
    auto volumes = ParseVolumes(text, [&labels](const std::string& source) {
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
