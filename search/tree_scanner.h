// SPDX-License-Identifier: MIT
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "search/folder_scan.h"
#include "search/joining_thread.h"
#include "search/pseudo_skip.h"
#include "search/walker.h"

namespace doze {

// One folder of the tree being walked. It keeps its name, not its path: the
// path is built when the folder is opened and when its entry is laid down.
struct WalkNode {
    // How far its listing is; guarded by the scanner's mutex once shown.
    enum class State : std::uint8_t {
        Waiting,    // for a thread to list it
        Claimed,    // a thread lists it
        Deferred,   // a helper found no descriptor free: the walk lists it, alone
        Left,       // a helper failed to list it: the walk lists it
        FilesLeft,  // its subfolders are shown, its files are for the walk to collect
        Scanned,    // listed: `scan` tells how it went
    };
    std::string name;  // for the root: its path
    WalkNode* parent = nullptr;
    std::uint64_t key = 0;  // its own in this walk, to know it by when it is gone
    std::uint32_t depth = 0;
    FolderId id;  // as its parent's look showed it; the root's once listed
    State state = State::Waiting;
    bool passed = false;  // a pseudo file system's mount point: no entry, not listed
    FolderScan scan;
    std::size_t weight = 0;  // memory its listing holds until it is laid down
    std::vector<std::unique_ptr<WalkNode>> children;  // its subfolders, in listing order
    // How its children are handed out, guarded by the scanner's mutex.
    std::size_t shown = 0;      // children looked at and shown to the helpers
    std::size_t handedOut = 0;  // children before it are taken, or not to be taken
    bool showing = false;       // more children are being looked at
    bool inOffer = false;       // in the scanner's list of nodes with children to give
    WalkNode* newer = nullptr;  // in that list
    WalkNode* older = nullptr;
};

// Frees a tree without recursion, however deep it is.
struct WalkTreeDeleter {
    void operator()(WalkNode* root) const;
};
using WalkTree = std::unique_ptr<WalkNode, WalkTreeDeleter>;

// Lists the folders of a tree for a walk that lays them down in order: the
// walk awaits each folder in turn, while helper threads list the folders
// shown so far, the latest first. Each subfolder is shown as soon as it is
// looked at, so helpers start on it while its parent's other subfolders are
// still being looked at. A thread keeps up to a few of the folders above the
// last one it listed open (fewer when descriptors are short), and opens the
// next folder below the nearest of them. Helpers stop when more entries were
// found than the list can take, or a failure was met; the walk then lists
// what is left itself. They wait while what they listed ahead of the walk
// holds more memory than an eighth of what the walk laid down, or 8 MiB.
class TreeScanner {
  public:
    // With `audio`, each collected file's audio facts are read as it is
    // found; with `cancel`, the helpers stop and Await gives false once it
    // says the search is cancelled.
    TreeScanner(std::string pattern, const PseudoMountSkip& skip, std::int64_t capacity,
                const ListingCalls& calls, const AudioReadOptions* audio = nullptr,
                const SearchProgress* cancel = nullptr);
    TreeScanner(const TreeScanner&) = delete;
    TreeScanner& operator=(const TreeScanner&) = delete;
    ~TreeScanner() { Stop(); }

    // Lets up to `most` threads list folders, this one among them: `first`
    // helpers at once (fewer where `most` is smaller), more while they wait,
    // no more than there are folders waiting. A thread that cannot be started
    // is done without.
    void Start(int first, int most);
    // Sees that `node` is listed: waits while a helper lists it, lists it on
    // this thread when no helper took it (alone when a helper found no
    // descriptor for it, or when this thread finds none). False, with `node`
    // not listed, once the search is cancelled. Throws what listing it here
    // throws (out of memory).
    bool Await(WalkNode& node);
    // Frees the children of `node`, all of them laid down.
    void Release(WalkNode& node);
    // Ends the helpers and waits for them.
    void Stop();

    // Entries found so far: the files and the subfolders of the folders listed.
    std::int64_t Found() const { return found_; }

  private:
    using Lock = std::unique_lock<std::mutex>;
    bool ScanHere(WalkNode& node, FolderRoute& route, const ListingCalls& calls, bool mayDefer);
    void ShowChildren(WalkNode& node, FolderRoute& route, const FolderListing& listing);
    void MoveRoute(FolderRoute& route, const WalkNode& node) const;
    WalkNode* Take(const FolderRoute& route);
    WalkNode* TakeChildOf(WalkNode& offer);
    void Offer(WalkNode& node);
    void Withdraw(WalkNode& node);
    void Help();
    void Grow();
    bool StartHelper();
    bool Cancelled() const;

    const std::string pattern_;
    const PseudoMountSkip& skip_;
    const std::int64_t capacity_;
    const ListingCalls& calls_;
    const AudioReadOptions* audio_;
    const SearchProgress* cancel_;
    std::size_t hold_ = 0;          // folders a thread keeps open between listings
    std::size_t addressSpace_ = 0;  // the process's, when it is limited
    FolderRoute route_;             // the walk's own
    std::atomic<std::uint64_t> keys_{0};
    std::atomic<std::int64_t> found_{0};
    std::atomic<bool> enough_{false};
    // Memory of the folders listed but not yet laid down, and of those laid
    // down; helpers wait while the first is FarAhead(), which is Ahead()
    // and remembers that they do.
    std::atomic<std::size_t> ahead_{0};
    std::size_t laid_ = 0;
    std::size_t lastWeight_ = 0;  // of the folder the walk awaited last
    bool Ahead() const;
    bool FarAhead();

    std::mutex mutex_;
    std::condition_variable work_;        // helpers wait here for folders
    std::condition_variable done_;        // the walk waits here for a folder or for quiet
    WalkNode* newest_ = nullptr;          // the list of nodes with children to give
    std::vector<JoiningThread> helpers_;  // joined by Stop, else as they go
    std::size_t most_ = 0;                // helpers at most
    std::size_t live_ = 0;                // helpers running
    std::size_t waiting_ = 0;             // shown folders waiting for a thread
    int busy_ = 0;                        // helpers listing a folder
    int holding_ = 0;                     // helpers keeping folders open
    bool heldBack_ = false;               // a helper waits for the walk to catch up
    std::atomic<bool> mayGrow_{false};
    bool solo_ = false;  // the walk lists a folder alone
    bool closing_ = false;
    const WalkNode* awaited_ = nullptr;
};

}  // namespace doze
