// SPDX-License-Identifier: MIT
#pragma once
#include <functional>
#include <optional>
#include <string>

#include "search/collector.h"
#include "search/dir_listing.h"
#include "search/entry_batch.h"

namespace doze {

// How much of a folder could be read.
enum class ListingOutcome {
    Listed,
    ListedInPart,  // reading failed part-way; the entries before are kept
    NotListed,     // it could not be opened or nothing of it could be read
    Changed,       // not the folder recorded for it: a link, a file, another folder
};

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
    // A length query that failed for the device, after the entries before it.
    std::optional<SystemError> failure;

    // True when what lies below it belongs to the walk.
    bool Entered() const {
        return !metAgain &&
               (outcome == ListingOutcome::Listed || outcome == ListingOutcome::ListedInPart);
    }
};

// What a scan does with the subfolders of a folder it listed: it is handed
// the open listing before the folder's files are collected.
using SubfolderSink = std::function<void(const FolderListing&)>;

// Lists the folder at the end of `route` once, hands the listing to
// `subfolders` (when it is set) and collects the files that match `pattern`,
// with their audio facts when `audio` is given.
// A folder that is one of those above it on the route is met again. A failed
// length query is kept in `failure`.
FolderScan ScanFolder(FolderRoute& route, const std::string& pattern,
                      const SubfolderSink& subfolders,
                      const ListingCalls& calls = SystemListingCalls(),
                      const AudioReadOptions* audio = nullptr);

// Why a folder could not be listed, or only in part, as a short phrase; empty
// when it was listed, or passed over on purpose.
std::string NotListedCause(const FolderScan& scan);

}  // namespace doze
