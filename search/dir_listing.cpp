#include "search/dir_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>

#include "search/path_text.h"
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

FolderListing::~FolderListing() {
    Close();
}

bool FolderListing::Open(const std::string& path) {
    FolderRoute route;
    route.Start(path);
    return Open(route);
}

bool FolderListing::Open(const FolderRoute& route) {
    Close();
    entries_.clear();
    error_ = 0;
    bool changed = false;
    fd_ = OpenRoute(calls_, route, id_, changed);
    if (fd_ < 0) {
        error_ = errno;
        outcome_ = changed ? ListingOutcome::Changed : ListingOutcome::NotListed;
        return false;
    }
    Read();
    if (outcome_ == ListingOutcome::NotListed) Close();
    return outcome_ != ListingOutcome::NotListed;
}

void FolderListing::Read() {
    // The entries are read straight from the descriptor, which stays open
    // for the length queries until Close.
    alignas(8) static thread_local char buffer[1 << 15];
    outcome_ = ListingOutcome::Listed;
    for (bool first = true;; first = false) {
        const ssize_t got = calls_.getdents64(fd_, buffer, sizeof buffer);
        if (got == 0) break;
        if (got < 0) {
            // An error part-way is no end of the listing: what came before stays.
            error_ = errno;
            outcome_ = first ? ListingOutcome::NotListed : ListingOutcome::ListedInPart;
            break;
        }
        for (ssize_t at = 0; at < got;) {
            const auto* d = reinterpret_cast<const dirent64*>(buffer + at);
            at += d->d_reclen;
            // The name field is a fixed buffer; the name ends at its first NUL.
            const std::size_t room = d->d_reclen - offsetof(dirent64, d_name);
            std::string name = StripNulls(std::string_view(d->d_name, room));
            if (name != "." && name != "..") AddEntry(std::move(name), d->d_type);
        }
    }
    std::sort(entries_.begin(), entries_.end(), [](const ListedEntry& a, const ListedEntry& b) {
        return ListingLess(a.name, b.name);
    });
}

void FolderListing::AddEntry(std::string name, unsigned char type) {
    ListedEntry entry{std::move(name), TypeFromDirent(type), {}, 0};
    if (type != DT_DIR && type != DT_UNKNOWN) {
        entries_.push_back(std::move(entry));
        return;
    }
    // A folder is looked at while this one is open, so that what is opened
    // later under its name can be checked against it. An automount point is
    // looked at as its opening will find it: mounted.
    struct stat st {};
    if (calls_.fstatat(fd_, entry.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        if (type == DT_UNKNOWN) return;  // nothing to tell what it is
        entry.lookError = errno;
    } else {
        if (type == DT_UNKNOWN) entry.type = TypeFromMode(st.st_mode);
        if (entry.type == EntryType::Folder && !S_ISDIR(st.st_mode)) entry.lookError = ENOTDIR;
        entry.id = FolderId{st.st_dev, st.st_ino};
    }
    entries_.push_back(std::move(entry));
}

LengthQuery FolderListing::QueryLength(const ListedEntry& entry) const {
    struct stat st {};
    if (calls_.fstatat(fd_, entry.name.c_str(), &st, 0) != 0) {
        const int err = errno;
        if (err == ENOENT || err == ELOOP || err == ENOTDIR) return {LengthQuery::Vanished, 0, err};
        return {LengthQuery::Failed, 0, err};
    }
    if (!S_ISREG(st.st_mode)) return {LengthQuery::NotRegular};
    return {LengthQuery::Regular, static_cast<std::int64_t>(st.st_size)};
}

int FolderListing::OpenFile(const ListedEntry& entry, bool followLinks) const {
    const int flags = O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | (followLinks ? 0 : O_NOFOLLOW);
    return calls_.openat(fd_, entry.name.c_str(), flags);
}

void FolderListing::Close() {
    if (fd_ >= 0) {
        calls_.close(fd_);
        fd_ = -1;
    }
}

}  // namespace doze
