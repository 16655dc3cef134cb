#include "search/collector.h"

#include "search/errors.h"
#include "search/path_text.h"
#include "search/pattern.h"

namespace doze {

void CollectFolderFiles(const std::string& folder, const std::string& pattern,
                        const FolderListing& listing, EntryBatch& out) {
    std::string entry;
    for (const ListedEntry& item : listing.Entries()) {
        if (item.type == EntryType::Folder || item.type == EntryType::Other) continue;
        if (!MatchesPattern(item.name, pattern)) continue;
        const LengthQuery length = listing.QueryLength(item);
        switch (length.outcome) {
            case LengthQuery::Regular:
                break;
            case LengthQuery::NotRegular:
            case LengthQuery::Vanished:
                continue;
            case LengthQuery::Failed:
                throw SearchFailure("Cannot read the length of \"" + AddBackslash(folder) +
                                    std::string(item.name) +
                                    "\": " + SystemErrorText(length.error) + ".");
        }
        entry.assign(item.name);
        entry.push_back('|');
        entry.append(std::to_string(length.length));
        out.Add(entry);
    }
}

}  // namespace doze
