#pragma once
#include <sys/stat.h>
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

#include "search/folder_route.h"

namespace doze {

// What the listing tells of an entry without following links.
enum class EntryType { Folder, File, Link, Other };

struct ListedEntry {
    std::string name;
    EntryType type;
    // For a folder: what stands under its name, links not followed (for a
    // mount point, the root mounted there). lookError is 0 when `id` holds
    // it, ENOTDIR when it is no folder any more, else the errno of the look.
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

// One folder's listing, read whole at Open and kept in listing order. The
// folder stays open only until Close (or destruction), so a walker can close
// it before it goes deeper and never holds descriptors across levels.
class FolderListing {
  public:
    explicit FolderListing(const ListingCalls& calls = SystemListingCalls()) : calls_(calls) {}
    FolderListing(const FolderListing&) = delete;
    FolderListing& operator=(const FolderListing&) = delete;
    ~FolderListing();

    // Opens and reads the folder `path`, links followed. False when nothing of
    // it can be listed (Error() then gives errno); "." and ".." are not part
    // of the listing. A read that fails part-way keeps what came before it and
    // gives true with Outcome() ListedInPart.
    bool Open(const std::string& path);
    // The same for the folder at the end of `route` (see OpenRoute); false
    // also when it is not the folder recorded for it (Outcome() Changed).
    bool Open(const FolderRoute& route);

    ListingOutcome Outcome() const { return outcome_; }
    int Error() const { return error_; }
    FolderId Id() const { return id_; }
    const std::vector<ListedEntry>& Entries() const { return entries_; }

    // The length of `entry`, following links, looked up relative to this
    // folder while it is open. Names that no longer lead to anything (removed,
    // dangling or looping links, a link through a file) give Vanished.
    LengthQuery QueryLength(const ListedEntry& entry) const;

    // Opens `entry` for reading, without waiting (a FIFO does not block) and
    // without becoming the controlling terminal, links followed or (ELOOP)
    // refused; the descriptor, or -1 with errno set. The caller closes it.
    int OpenFile(const ListedEntry& entry, bool followLinks) const;
    const ListingCalls& Calls() const { return calls_; }

    void Close();

  private:
    void Read();
    void AddEntry(std::string name, unsigned char type);

    const ListingCalls& calls_;
    int fd_ = -1;
    int error_ = 0;
    ListingOutcome outcome_ = ListingOutcome::NotListed;
    FolderId id_;
    std::vector<ListedEntry> entries_;
};

}  // namespace doze
