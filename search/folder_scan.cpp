#include "search/folder_scan.h"

#include "search/collector.h"
#include "search/errors.h"

namespace doze {

FolderScan ScanFolder(const FolderRoute& route, const std::string& pattern,
                      const std::function<bool(const FolderId&)>& isAbove,
                      const ListingCalls& calls, const AudioReadOptions* audio) {
    FolderScan scan;
    FolderListing listing(calls);
    const bool opened = listing.Open(route);
    scan.outcome = listing.Outcome();
    scan.error = listing.Error();
    if (!opened) return scan;
    scan.id = listing.Id();
    if (isAbove(scan.id)) {
        scan.metAgain = true;
        return scan;
    }
    try {
        CollectFolderFiles(route.path, pattern, listing, audio, scan.fileEntries, scan.fileDetails);
    } catch (const SearchFailure& failure) {
        scan.failure = failure.what();
        return scan;  // the walk ends there; nothing after it matters
    }
    for (const ListedEntry& item : listing.Entries()) {
        if (item.type == EntryType::Folder) scan.subfolders.push_back(item);
    }
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
