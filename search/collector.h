#pragma once
#include "search/dir_listing.h"
#include "search/search_state.h"

namespace doze {

// Appends one file entry "name|length" for each entry of `listing` (the open
// listing of params.Path) whose name matches params.Pattern and that is a
// regular file, links followed. Folders, FIFOs, sockets and devices are never
// collected; a file that vanished before its length was read is passed over.
// Throws SearchFailure for any other failed length query.
void CollectFolderFiles(const SearchParams& params, SearchState& state,
                        const FolderListing& listing);

}  // namespace doze
