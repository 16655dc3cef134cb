#pragma once
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "search/folder_scan.h"
#include "search/pseudo_skip.h"

namespace doze {

class SearchProgress;

// One folder of the tree being walked. It keeps its name, not its path: the
// path is built when the folder is opened and when its entry is laid down.
struct WalkNode {
    std::string name;  // for the root: its path
    WalkNode* parent = nullptr;
    FolderId id;        // as its parent's listing showed it; the root's once listed
    int lookError = 0;  // as in ListedEntry
    bool scanned = false;
    FolderScan scan;
    std::vector<std::unique_ptr<WalkNode>> children;  // its subfolders, in listing order
};

// Frees a tree without recursion, however deep it is.
struct WalkTreeDeleter {
    void operator()(WalkNode* root) const;
};
using WalkTree = std::unique_ptr<WalkNode, WalkTreeDeleter>;

// Lists the folders of a tree, on several threads at once, until all are
// listed or enough is known: more entries than the list can take, or a
// failure. What is not listed then is listed later, when the walk gets there.
class TreeScanner {
  public:
    // With `audio`, each collected file's audio facts are read as it is found.
    TreeScanner(std::string pattern, const PseudoMountSkip& skip, std::int64_t capacity,
                const ListingCalls& calls, const AudioReadOptions* audio = nullptr)
        : pattern_(std::move(pattern)),
          skip_(skip),
          capacity_(capacity),
          calls_(calls),
          audio_(audio) {}

    // Lists `root` and what lies below it: `first` threads at first, this one
    // included, more while they wait on the disk, up to `most`. A thread that
    // cannot be started is done without. Tells `progress` (on this thread)
    // how many entries were found; rethrows the first exception a thread met.
    void Run(WalkNode& root, int first, int most, SearchProgress* progress);

    // Lists one folder on this thread and makes its subfolders' nodes.
    void Scan(WalkNode& node) { ScanNode(node, false); }

    // Bytes of all entries found so far.
    std::size_t Bytes() const { return bytes_; }

  private:
    bool ScanNode(WalkNode& node, bool mayDefer);
    void Work(SearchProgress* progress);
    bool StartHelper();
    void Stop(std::exception_ptr error);

    const std::string pattern_;
    const PseudoMountSkip& skip_;
    const std::int64_t capacity_;
    const ListingCalls& calls_;
    const AudioReadOptions* audio_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::vector<WalkNode*> todo_;
    std::vector<std::thread> helpers_;
    const SearchProgress* cancel_ = nullptr;  // asked whether to stop
    std::size_t most_ = 1;
    bool closing_ = false;
    int busy_ = 0;
    std::exception_ptr error_;
    std::atomic<bool> mayGrow_{false};
    std::atomic<std::int64_t> found_{0};
    std::atomic<std::size_t> bytes_{0};
    std::atomic<bool> enough_{false};
};

}  // namespace doze
