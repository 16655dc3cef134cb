// SPDX-License-Identifier: MIT
#pragma once
#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

#include "search/folder_route.h"
#include "search/raw_buffer.h"
#include "search/result.h"
#include "search/unique_fd.h"

namespace doze {

// What the listing tells of an entry without following links.
enum class EntryType : std::uint8_t { Folder, File, Link, Other };

struct ListedEntry {
    // Its name in the listing, valid while the listing is, with a NUL after it.
    std::string_view name;
    EntryType type;
};

// One folder's listing, read at Open piece by piece and kept in listing
// order. With KeepOnly, only the folders and the names that match are kept,
// so a folder of a million other files costs little. The folder stays open
// only until Close (or destruction), or as long as the route it was opened
// by keeps it open.
class FolderListing {
  public:
    explicit FolderListing(const ListingCalls& calls = SystemListingCalls()) : calls_(calls) {}
    FolderListing(const FolderListing&) = delete;
    FolderListing& operator=(const FolderListing&) = delete;

    // Keeps, besides the folders, only the files and links whose names match
    // `pattern` (see MatchesPattern); until it is called, everything is kept.
    void KeepOnly(std::string_view pattern) { pattern_ = pattern, filtered_ = true; }

    // Opens and reads the folder `path`, links followed; the failure when
    // nothing of it can be listed. "." and ".." are not part of the listing.
    // A read that fails part-way keeps what came before it (CutShort()).
    Result<void> Open(const std::string& path);
    // The same for the folder at the end of `route` (see OpenRoute, whose
    // failures it gives). The route may keep the folder open after Close
    // (FolderRoute::Hold).
    Result<void> Open(FolderRoute& route);

    // The failure that ended the listing part-way (EOVERFLOW: more names
    // than one listing holds); none when the folder was listed whole.
    const std::optional<SystemError>& CutShort() const { return cutShort_; }
    FolderId Id() const { return id_; }

    // The entries kept, in listing order.
    class EntryRange;
    EntryRange Entries() const;
    // How many of the entries kept are not folders, and their names' bytes.
    std::size_t OtherCount() const { return otherCount_; }
    std::size_t OtherNameBytes() const { return otherNameBytes_; }

    // Looks at the folder `name` (an entry of this listing) while it is
    // open, links not followed: what stands under its name (for a mount
    // point, the root mounted there; an automount point is looked at as its
    // opening will find it, mounted). ENOTDIR when it is no folder any more.
    // Allocates nothing, not even for a failure: the caller knows the name.
    Result<FolderId> Look(const std::string& name) const;

    // The length of `entry`, an entry of this listing, following links,
    // looked up relative to this folder while it is open; none for what is
    // not a regular file.
    Result<std::optional<std::int64_t>> QueryLength(const ListedEntry& entry) const;

    // Opens `entry` for reading, without waiting (a FIFO does not block) and
    // without becoming the controlling terminal, links followed or (ELOOP)
    // refused.
    Result<UniqueFd> OpenFile(const ListedEntry& entry, bool followLinks) const;
    const ListingCalls& Calls() const { return calls_; }

    void Close();

  private:
    // One kept entry: where its name starts in names_, its length, its type.
    struct Kept {
        std::uint32_t at;
        std::uint16_t length;
        EntryType type;
    };

    Result<void> Read();
    bool Keep(std::string_view name, unsigned char type);
    ListedEntry At(std::size_t i) const;

    const ListingCalls& calls_;
    std::string pattern_;
    bool filtered_ = false;
    UniqueFd own_;  // the folder, unless the route keeps it
    int fd_ = -1;   // the folder, while it is open
    std::optional<SystemError> cutShort_;
    FolderId id_;
    RawBuffer<char> names_;  // each kept name followed by a NUL
    RawBuffer<Kept> kept_;
    std::size_t otherCount_ = 0;
    std::size_t otherNameBytes_ = 0;
};

// The entries of a listing, walked with a range for.
class FolderListing::EntryRange {
  public:
    class Iterator {
      public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = ListedEntry;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = ListedEntry;
        Iterator(const FolderListing& listing, std::size_t i) : listing_(&listing), i_(i) {}
        ListedEntry operator*() const { return listing_->At(i_); }
        Iterator& operator++() {
            ++i_;
            return *this;
        }
        bool operator==(const Iterator& other) const { return i_ == other.i_; }

      private:
        const FolderListing* listing_;
        std::size_t i_;
    };
    explicit EntryRange(const FolderListing& listing) : listing_(listing) {}
    Iterator begin() const { return {listing_, 0}; }
    Iterator end() const { return {listing_, listing_.kept_.size()}; }
    std::size_t size() const { return listing_.kept_.size(); }

  private:
    const FolderListing& listing_;
};

inline FolderListing::EntryRange FolderListing::Entries() const {
    return EntryRange(*this);
}

}  // namespace doze
