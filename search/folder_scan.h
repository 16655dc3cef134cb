#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "search/collector.h"
#include "search/dir_listing.h"
#include "search/entry_batch.h"

namespace doze {

// All that one step of the walk needs from one folder: its matching files as
// file entries and its subfolders, both in listing order.
struct FolderScan {
    ListingOutcome outcome = ListingOutcome::NotListed;
    int error = 0;  // errno, when not Listed
    // One of the folders above it, met again through a bind mount: not walked.
    bool metAgain = false;
    FolderId id;
    EntryBatch fileEntries;
    FileDetails fileDetails;  // of the file entries: audio facts, files left out
    std::vector<ListedEntry> subfolders;
    // A length query that failed, after the entries before it: its message.
    std::optional<std::string> failure;

    // True when what lies below it belongs to the walk.
    bool Entered() const {
        return !metAgain &&
               (outcome == ListingOutcome::Listed || outcome == ListingOutcome::ListedInPart);
    }
};

// Lists the folder at the end of `route` once and collects what matches
// `pattern`, with the files' audio facts when `audio` is given. A folder for
// which `isAbove` is true is met again. Never throws for the folder's
// contents: a failed length query is kept in `failure`.
FolderScan ScanFolder(const FolderRoute& route, const std::string& pattern,
                      const std::function<bool(const FolderId&)>& isAbove,
                      const ListingCalls& calls = SystemListingCalls(),
                      const AudioReadOptions* audio = nullptr);

// Why a folder could not be listed, or only in part, as a short phrase; empty
// when it was listed, or passed over on purpose.
std::string NotListedCause(const FolderScan& scan);

}  // namespace doze
