#pragma once
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace doze {

// What the listing tells of an entry without following links.
enum class EntryType { Folder, File, Link, Other };

struct ListedEntry {
    std::string name;
    EntryType type;
};

// Identity of a folder on its file system, to notice a folder met again.
struct FolderId {
    dev_t dev = 0;
    ino_t ino = 0;
    bool operator==(const FolderId&) const = default;
};

// Result of a length query on one listed entry.
struct LengthQuery {
    enum Outcome { Regular, NotRegular, Vanished, Failed } outcome;
    std::int64_t length = 0;  // for Regular
    int error = 0;            // errno, for Failed
};

// One folder's listing, read whole at Open and kept in listing order. The
// folder stays open only until Close (or destruction), so a walker can close
// it before it goes deeper and never holds descriptors across levels.
class FolderListing {
  public:
    FolderListing() = default;
    FolderListing(const FolderListing&) = delete;
    FolderListing& operator=(const FolderListing&) = delete;
    ~FolderListing();

    // Opens and reads the folder `path`. False when it cannot be listed
    // (Error() then gives errno); "." and ".." are not part of the listing.
    bool Open(const std::string& path);
    int Error() const { return error_; }
    FolderId Id() const { return id_; }
    const std::vector<ListedEntry>& Entries() const { return entries_; }

    // The length of `entry`, following links, looked up relative to this
    // folder while it is open. Names that no longer lead to anything (removed,
    // dangling or looping links, a link through a file) give Vanished.
    LengthQuery QueryLength(const ListedEntry& entry) const;

    void Close();

  private:
    int fd_ = -1;
    int error_ = 0;
    FolderId id_;
    std::vector<ListedEntry> entries_;
};

}  // namespace doze
