#include "search/folder_scan.h"

#include "search/collector.h"
#include "search/errors.h"

namespace doze {

FolderScan ScanFolder(const std::string& path, const std::string& pattern,
                      const std::function<bool(const FolderId&)>& isAbove) {
    FolderScan scan;
    FolderListing listing;
    if (!listing.Open(path) || isAbove(listing.Id())) return scan;
    scan.listed = true;
    scan.id = listing.Id();
    try {
        CollectFolderFiles(path, pattern, listing, scan.fileEntries);
    } catch (const SearchFailure& failure) {
        scan.failure = failure.what();
        return scan;  // the walk ends there; nothing after it matters
    }
    for (const ListedEntry& item : listing.Entries()) {
        if (item.type == EntryType::Folder) scan.subfolders.push_back(item.name);
    }
    return scan;
}

}  // namespace doze
