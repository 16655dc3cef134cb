// SPDX-License-Identifier: MIT
#include "search/folder_scan.h"

#include "search/collector.h"
#include "search/errors.h"

namespace doze {

FolderScan ScanFolder(FolderRoute& route, const std::string& pattern,
                      const SubfolderSink& subfolders, const ListingCalls& calls,
                      const AudioReadOptions* audio) {
    FolderScan scan;
    FolderListing listing(calls);
    listing.KeepOnly(pattern);
    if (const Result<void> opened = listing.Open(route); !opened) {
        scan.outcome =
            RouteChanged(opened.Error()) ? ListingOutcome::Changed : ListingOutcome::NotListed;
        scan.error = opened.Error().code;
        return scan;
    }
    const std::optional<SystemError>& cutShort = listing.CutShort();
    scan.outcome = cutShort ? ListingOutcome::ListedInPart : ListingOutcome::Listed;
    scan.error = cutShort ? cutShort->code : 0;
    scan.id = listing.Id();
    if (route.Repeats(scan.id)) {
        scan.metAgain = true;
        return scan;
    }
    if (subfolders) subfolders(listing);
    // Room once for the most the files can give: each name, "|" and a length
    // of at most 20 characters; what is not used goes back after.
    const std::size_t files = listing.OtherCount();
    scan.fileEntries.Reserve(files, listing.OtherNameBytes() + files * 21);
    if (Result<void> collected = CollectFolderFiles(route.Path(), pattern, listing, audio,
                                                    scan.fileEntries, scan.fileDetails);
        !collected) {
        scan.failure = collected.Error();
    }
    scan.fileEntries.Truncate(scan.fileEntries.size());
    return scan;
}

std::string NotListedCause(const FolderScan& scan) {
    if (scan.metAgain) return {};
    switch (scan.outcome) {
        case ListingOutcome::Listed:
            break;
        case ListingOutcome::ListedInPart:
            return "it could be read only in part (" + SystemErrorText(scan.error) + ")";
        case ListingOutcome::NotListed:
            return SystemErrorText(scan.error);
        case ListingOutcome::Changed:
            return "it changed during the search";
    }
    return {};
}

}  // namespace doze
