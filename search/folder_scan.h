#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "search/dir_listing.h"
#include "search/entry_batch.h"

namespace doze {

// All that one step of the walk needs from one folder: its matching files as
// file entries and its subfolders' names, both in listing order.
struct FolderScan {
    bool listed = false;  // false: it cannot be listed, or it is met again
    FolderId id;
    EntryBatch fileEntries;
    std::vector<std::string> subfolders;
    // A length query that failed, after the entries before it: its message.
    std::optional<std::string> failure;
};

// Lists the folder `path` once and collects what matches `pattern`. A folder
// for which `isAbove` is true (one of the folders above it, met again through
// a bind mount) counts as not listed. Never throws for the folder's contents:
// a failed length query is kept in `failure`.
FolderScan ScanFolder(const std::string& path, const std::string& pattern,
                      const std::function<bool(const FolderId&)>& isAbove);

}  // namespace doze
