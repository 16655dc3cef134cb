// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>

#include "search/listing_calls.h"
#include "search/mount_table.h"
#include "search/search_state.h"

namespace doze {

// Told what a search meets, on the thread that called it (Cancelled() aside).
class SearchProgress {
  public:
    virtual ~SearchProgress() = default;
    // The entry count now and then while a search runs; the counts rise.
    virtual void EntriesFound(std::int32_t) {}
    // A folder that could not be listed, or could be listed only in part, in
    // walk order: its path, and the cause as a short phrase (the system's
    // text for the error, "it changed during the search", "it could be read
    // only in part (Input/output error)").
    virtual void FolderNotListed(const std::string& /*path*/, const std::string& /*cause*/) {}
    // A file left out of the list because it could not be read (a link that
    // dangles, loops or leads where the user may not look), or one whose audio
    // facts could be read only in part, in walk order: its path and the cause.
    virtual void FileNotRead(const std::string& /*path*/, const std::string& /*cause*/) {}
    // True once the user has asked the search to stop; asked from any of the
    // search's threads, before each folder is listed or laid down.
    virtual bool Cancelled() const { return false; }
};

// How a search ended that did not fail. Cancelled: SearchProgress::
// Cancelled() turned true, the walk stopped at the next folder, and what it
// found is no list.
enum class SearchEnd { Complete, Cancelled };

// How many threads list folders while the work keeps them busy on the
// processor: one per core, at most two.
int DefaultSearchThreads();

// How many threads list folders at most when they wait on the disk or the
// network: a search starts more than DefaultSearchThreads() only while they
// do, and no more than there are folders waiting. On a share that answers
// each request after 1 to 5 ms, 64 threads walk as fast as the least walk
// with 64 threads; servers seldom answer more requests at once.
inline constexpr int kMostSearchThreads = 64;

// The one entry point of the search: walks the tree below params.Path into
// state.FoundList / state.FoundCount, with up to kMostSearchThreads threads,
// and tells whether it was cancelled. Throws SearchFailure when the list is
// full or a file's length cannot be read for a device error, and, with
// `rootMustBeListed`, when params.Path cannot be listed at all ("Cannot list
// "PATH": CAUSE."); a folder that cannot be listed is otherwise passed over
// and told to `progress`.
SearchEnd RunSearch(SearchParams& params, SearchState& state, SearchProgress* progress = nullptr,
                    bool rootMustBeListed = false);

// Walks the tree below params.Path depth first: each folder's own matching
// files, then for each subfolder in listing order its folder entry and all
// that lies inside it. Folders are not entered twice along one line of
// descent, pseudo file systems in `skip` (by path, or by device where a
// folder is one's mount point) get no entry, links to folders are not
// followed, and a folder that is not the one its parent's listing showed
// (swapped meanwhile for a link or another folder) keeps its entry and is not
// entered. A folder that cannot be listed keeps its entry and has nothing
// below; one that can be read only in part gives what was read; both are told
// to `progress`. Up to `threads` threads list folders at once (this one
// among them, when no other has the folder it lays down next):
// DefaultSearchThreads() others while they keep busy, more while they wait.
// A thread that cannot be started is done without, and one that runs out of
// memory ends: this thread lists what it left. The entries, their
// order, every failure and every report are those of a walk by one thread.
// Each folder's entries are laid down as soon as the folders before it are,
// and what the walk knows of a folder is freed once all below it is in the
// list. Between listings a thread keeps at most 8 folders above the last one
// it listed open (all threads together at most half the descriptors the
// process may have), one more while it lists, another for a moment on a path
// longer than one system call takes. On return params.Path holds the last
// subfolder entered. `calls` makes the listings and the looks at `skip`.
SearchEnd SearchFolder(SearchParams& params, SearchState& state, const MountSet& skip,
                       SearchProgress* progress = nullptr, int threads = 1,
                       bool rootMustBeListed = false,
                       const ListingCalls& calls = SystemListingCalls());

}  // namespace doze
