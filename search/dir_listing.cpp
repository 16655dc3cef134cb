#include "search/dir_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>

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

}  // namespace

FolderListing::~FolderListing() {
    Close();
}

bool FolderListing::Open(const std::string& path) {
    Close();
    entries_.clear();
    error_ = 0;
    fd_ = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0) {
        error_ = errno;
        return false;
    }
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        error_ = errno;
        Close();
        return false;
    }
    id_ = FolderId{st.st_dev, st.st_ino};

    // The entries are read straight from the descriptor, which stays open
    // for the length queries until Close.
    alignas(8) static thread_local char buffer[1 << 15];
    for (;;) {
        const ssize_t got = ::getdents64(fd_, buffer, sizeof buffer);
        if (got <= 0) break;  // the end, or an error part-way: both end the listing
        for (ssize_t at = 0; at < got;) {
            const auto* d = reinterpret_cast<const dirent64*>(buffer + at);
            at += d->d_reclen;
            // The name field is a fixed buffer; the name ends at its first NUL.
            const std::size_t room = d->d_reclen - offsetof(dirent64, d_name);
            std::string name = StripNulls(std::string_view(d->d_name, room));
            if (name == "." || name == "..") continue;
            EntryType type;
            switch (d->d_type) {
                case DT_DIR:
                    type = EntryType::Folder;
                    break;
                case DT_REG:
                    type = EntryType::File;
                    break;
                case DT_LNK:
                    type = EntryType::Link;
                    break;
                case DT_UNKNOWN: {
                    struct stat est {};
                    if (::fstatat(fd_, name.c_str(), &est, AT_SYMLINK_NOFOLLOW) != 0) continue;
                    type = TypeFromMode(est.st_mode);
                    break;
                }
                default:
                    type = EntryType::Other;
                    break;
            }
            entries_.push_back(ListedEntry{std::move(name), type});
        }
    }
    std::sort(entries_.begin(), entries_.end(), [](const ListedEntry& a, const ListedEntry& b) {
        return ListingLess(a.name, b.name);
    });
    return true;
}

LengthQuery FolderListing::QueryLength(const ListedEntry& entry) const {
    struct stat st {};
    if (::fstatat(fd_, entry.name.c_str(), &st, 0) != 0) {
        const int err = errno;
        if (err == ENOENT || err == ELOOP || err == ENOTDIR) return {LengthQuery::Vanished};
        return {LengthQuery::Failed, 0, err};
    }
    if (!S_ISREG(st.st_mode)) return {LengthQuery::NotRegular};
    return {LengthQuery::Regular, static_cast<std::int64_t>(st.st_size)};
}

void FolderListing::Close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

}  // namespace doze
