#include "search/collector.h"

#include "search/errors.h"
#include "search/path_text.h"
#include "search/pattern.h"

namespace doze {

void CollectMatchingFiles(const std::string& folder, const std::string& pattern,
                          const FolderListing& listing, std::vector<std::string>& out) {
    for (const ListedEntry& item : listing.Entries()) {
        if (item.type == EntryType::Folder || item.type == EntryType::Other) continue;
        if (!MatchesPattern(item.name, pattern)) continue;
        const LengthQuery length = listing.QueryLength(item);
        switch (length.outcome) {
            case LengthQuery::Regular: break;
            case LengthQuery::NotRegular:
            case LengthQuery::Vanished: continue;
            case LengthQuery::Failed:
                throw SearchFailure("Cannot read the length of \"" + AddBackslash(folder) +
                                    item.name + "\": " + SystemErrorText(length.error) + ".");
        }
        std::string entry;
        entry.reserve(item.name.size() + 12);
        entry.append(item.name);
        entry.push_back('|');
        entry.append(std::to_string(length.length));
        out.push_back(std::move(entry));
    }
}

void CollectFolderFiles(const SearchParams& params, SearchState& state,
                        const FolderListing& listing) {
    std::vector<std::string> entries;
    try {
        CollectMatchingFiles(params.Path, params.Pattern, listing, entries);
    } catch (const SearchFailure&) {
        // What came before the failing file is appended first, as it was found.
        for (const std::string& entry : entries) AppendEntry(state, entry);
        throw;
    }
    for (const std::string& entry : entries) AppendEntry(state, entry);
}

}  // namespace doze
