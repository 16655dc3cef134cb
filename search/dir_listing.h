#pragma once
#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>

#include "search/folder_route.h"
#include "search/raw_buffer.h"

namespace doze {

// What the listing tells of an entry without following links.
enum class EntryType : std::uint8_t { Folder, File, Link, Other };

struct ListedEntry {
    // For an entry of a listing: its name there, valid while the listing
    // is, with a NUL after it.
    std::string_view name;
    EntryType type;
    // For a folder that was looked at (FolderListing::Look): what stands
    // under its name, links not followed (for a mount point, the root mounted
    // there). lookError is 0 when `id` holds it, ENOTDIR when it is no folder
    // any more, else the errno of the look.
    FolderId id;
    int lookError = 0;
};

// Result of a length query on one listed entry.
struct LengthQuery {
    enum Outcome { Regular, NotRegular, Vanished, Failed } outcome;
    std::int64_t length = 0;  // for Regular
    int error = 0;            // errno, for Vanished and Failed
};

// How much of a folder could be read.
enum class ListingOutcome {
    Listed,
    ListedInPart,  // reading failed part-way; the entries before are kept
    NotListed,     // it could not be opened or nothing of it could be read
    Changed,       // not the folder recorded for it: a link, a file, another folder
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
    ~FolderListing();

    // Keeps, besides the folders, only the files and links whose names match
    // `pattern` (see MatchesPattern); until it is called, everything is kept.
    void KeepOnly(std::string_view pattern) { pattern_ = pattern, filtered_ = true; }

    // Opens and reads the folder `path`, links followed. False when nothing of
    // it can be listed (Error() then gives errno); "." and ".." are not part
    // of the listing. A read that fails part-way keeps what came before it and
    // gives true with Outcome() ListedInPart.
    bool Open(const std::string& path);
    // The same for the folder at the end of `route` (see OpenRoute); false
    // also when it is not the folder recorded for it (Outcome() Changed). The
    // route may keep the folder open after Close (FolderRoute::Hold).
    bool Open(FolderRoute& route);

    ListingOutcome Outcome() const { return outcome_; }
    int Error() const { return error_; }
    FolderId Id() const { return id_; }

    // The entries kept, in listing order.
    class EntryRange;
    EntryRange Entries() const;
    // How many of the entries kept are not folders, and their names' bytes.
    std::size_t OtherCount() const { return otherCount_; }
    std::size_t OtherNameBytes() const { return otherNameBytes_; }

    // Looks at the folder `entry` of this listing while it is open, links not
    // followed, and fills in its id and lookError. An automount point is
    // looked at as its opening will find it: mounted.
    void Look(ListedEntry& entry) const;

    // The length of `entry`, an entry of this listing, following links,
    // looked up relative to this folder while it is open. Names that no longer
    // lead to anything (removed, dangling or looping links, a link through a
    // file) give Vanished.
    LengthQuery QueryLength(const ListedEntry& entry) const;

    // Opens `entry` for reading, without waiting (a FIFO does not block) and
    // without becoming the controlling terminal, links followed or (ELOOP)
    // refused; the descriptor, or -1 with errno set. The caller closes it.
    int OpenFile(const ListedEntry& entry, bool followLinks) const;
    const ListingCalls& Calls() const { return calls_; }

    void Close();

  private:
    // One kept entry: where its name starts in names_, its length, its type.
    struct Kept {
        std::uint32_t at;
        std::uint16_t length;
        EntryType type;
    };

    void Read();
    bool Keep(std::string_view name, unsigned char type);
    ListedEntry At(std::size_t i) const;

    const ListingCalls& calls_;
    std::string pattern_;
    bool filtered_ = false;
    int fd_ = -1;
    bool ownsFd_ = true;
    int error_ = 0;
    ListingOutcome outcome_ = ListingOutcome::NotListed;
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
