#pragma once
#include <string>
#include <vector>

#include "search/dir_listing.h"
#include "search/entry_batch.h"

namespace doze {

// Adds to `out` one file entry "name|length" for each entry of `listing` (the
// open listing of the folder `folder`) whose name matches `pattern` and that
// is a regular file, links followed. Folders, FIFOs, sockets and devices are
// never collected; a file that vanished before its length was read is passed
// over. Throws SearchFailure for any other failed length query, with the
// entries before it already in `out`.
void CollectFolderFiles(const std::string& folder, const std::string& pattern,
                        const FolderListing& listing, EntryBatch& out);

}  // namespace doze
