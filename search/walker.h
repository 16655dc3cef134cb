#pragma once
#include <cstdint>

#include "search/mount_table.h"
#include "search/search_state.h"

namespace doze {

// Told the entry count now and then while a search runs; the counts rise.
class SearchProgress {
  public:
    virtual ~SearchProgress() = default;
    virtual void EntriesFound(std::int32_t count) = 0;
};

// How many threads list folders by default: one per core, at most two.
int DefaultSearchThreads();

// The one entry point of the search: walks the tree below params.Path into
// state.FoundList / state.FoundCount. Throws SearchFailure when the list is
// full or a file's length cannot be read; a folder that cannot be listed is
// passed over without a word.
void RunSearch(SearchParams& params, SearchState& state, SearchProgress* progress = nullptr);

// Walks the tree below params.Path depth first: each folder's own matching
// files, then for each subfolder in listing order its folder entry and all
// that lies inside it. Folders are not entered twice along one line of
// descent, pseudo file systems in `skip` get no entry, links to folders are
// not followed. Up to `threads` threads list folders at once; the entries,
// their order and every failure are those of a walk by one thread, and no
// thread holds more than one folder open. On return params.Path holds the
// last subfolder entered.
void SearchFolder(SearchParams& params, SearchState& state, const MountSet& skip,
                  SearchProgress* progress = nullptr, int threads = 1);

}  // namespace doze
