// SPDX-License-Identifier: MIT
#include "search/dir_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <utility>

#include "search/pattern.h"

namespace doze {
namespace {

EntryType TypeFromMode(mode_t mode) {
    if (S_ISDIR(mode)) return EntryType::Folder;
    if (S_ISREG(mode)) return EntryType::File;
    if (S_ISLNK(mode)) return EntryType::Link;
    return EntryType::Other;
}

EntryType TypeFromDirent(unsigned char type) {
    switch (type) {
        case DT_DIR:
            return EntryType::Folder;
        case DT_REG:
            return EntryType::File;
        case DT_LNK:
            return EntryType::Link;
        default:
            return EntryType::Other;
    }
}

}  // namespace

Result<void> FolderListing::Open(const std::string& path) {
    FolderRoute route;
    route.Start(path);
    return Open(route);
}

Result<void> FolderListing::Open(FolderRoute& route) {
    Close();
    names_.Clear();
    kept_.Clear();
    otherCount_ = otherNameBytes_ = 0;
    cutShort_.reset();
    Result<OpenedFolder> opened = OpenRoute(calls_, route);
    if (!opened) return opened.Error();
    own_ = std::move(opened->fd);
    fd_ = own_.Get();
    id_ = opened->id;
    if (Result<void> read = Read(); !read) {
        Close();
        return read;
    }
    route.Hold(own_);
    return {};
}

Result<void> FolderListing::Read() {
    // The entries are read straight from the descriptor, which stays open
    // for the looks and the length queries until Close.
    alignas(8) static thread_local char buffer[1 << 15];
    for (bool first = true, more = true; more; first = false) {
        const ssize_t got = calls_.getdents64(fd_, buffer, sizeof buffer);
        if (got == 0) break;
        if (got < 0) {
            // An error part-way is no end of the listing: what came before stays.
            if (first) return LastError("getdents64");
            cutShort_ = LastError("getdents64");
            break;
        }
        for (ssize_t at = 0; at < got && more;) {
            const auto* d = reinterpret_cast<const dirent64*>(buffer + at);
            at += d->d_reclen;
            // The name field is a fixed buffer; the name ends at its first NUL.
            const std::size_t room = d->d_reclen - offsetof(dirent64, d_name);
            const std::string_view name(d->d_name, ::strnlen(d->d_name, room));
            if (name == "." || name == "..") continue;
            more = Keep(name, d->d_type);
        }
        if (!more) cutShort_ = SystemError{EOVERFLOW, {}, "keep the names"};
    }
    const char* names = names_.data();
    std::sort(kept_.data(), kept_.data() + kept_.size(), [names](const Kept& a, const Kept& b) {
        return ListingLess({names + a.at, a.length}, {names + b.at, b.length});
    });
    return {};
}

bool FolderListing::Keep(std::string_view name, unsigned char type) {
    EntryType kind = TypeFromDirent(type);
    if (type == DT_UNKNOWN) {
        // Nothing tells what it is but a look.
        struct stat st {};
        if (calls_.fstatat(fd_, name.data(), &st, AT_SYMLINK_NOFOLLOW) != 0) return true;
        kind = TypeFromMode(st.st_mode);
    }
    if (filtered_ && kind != EntryType::Folder &&
        (kind == EntryType::Other || !MatchesPattern(name, pattern_))) {
        return true;
    }
    if (name.size() > UINT16_MAX || names_.size() + name.size() + 1 > UINT32_MAX) return false;
    kept_.PushBack(Kept{static_cast<std::uint32_t>(names_.size()),
                        static_cast<std::uint16_t>(name.size()), kind});
    names_.Append(name.data(), name.size());
    names_.PushBack('\0');
    if (kind != EntryType::Folder) {
        ++otherCount_;
        otherNameBytes_ += name.size();
    }
    return true;
}

ListedEntry FolderListing::At(std::size_t i) const {
    const Kept& k = kept_[i];
    return ListedEntry{{names_.data() + k.at, k.length}, k.type};
}

Result<FolderId> FolderListing::Look(const std::string& name) const {
    struct stat st {};
    if (calls_.fstatat(fd_, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return LastError("look");
    if (!S_ISDIR(st.st_mode)) return SystemError{ENOTDIR, {}, "look"};
    return FolderId{st.st_dev, st.st_ino};
}

Result<std::optional<std::int64_t>> FolderListing::QueryLength(const ListedEntry& entry) const {
    struct stat st {};
    if (calls_.fstatat(fd_, entry.name.data(), &st, 0) != 0) return LastError("stat", entry.name);
    if (!S_ISREG(st.st_mode)) return std::optional<std::int64_t>();
    return std::optional<std::int64_t>(st.st_size);
}

Result<UniqueFd> FolderListing::OpenFile(const ListedEntry& entry, bool followLinks) const {
    const int flags = O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | (followLinks ? 0 : O_NOFOLLOW);
    UniqueFd file(calls_.openat(fd_, entry.name.data(), flags),
                  calls_.close);  // the name ends in a NUL
    if (!file) return LastError("open", entry.name);
    return file;
}

void FolderListing::Close() {
    own_.Reset();
    fd_ = -1;
}

}  // namespace doze
