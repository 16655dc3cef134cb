#include "search/walker.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "search/errors.h"
#include "search/folder_scan.h"
#include "search/path_text.h"

namespace doze {
namespace {

// One folder of the tree being walked.
struct Node {
    std::string path;
    Node* parent = nullptr;
    bool scanned = false;
    FolderScan scan;
    std::vector<std::unique_ptr<Node>> children;  // its subfolders, in listing order
};

// Frees a tree without recursion, however deep it is.
struct TreeDeleter {
    void operator()(Node* root) const {
        std::vector<std::unique_ptr<Node>> pending;
        pending.emplace_back(root);
        while (!pending.empty()) {
            std::unique_ptr<Node> node = std::move(pending.back());
            pending.pop_back();
            for (auto& child : node->children) pending.push_back(std::move(child));
        }
    }
};

// Lists the folders of a tree, on several threads at once, until all are
// listed or enough is known: more entries than the list can take, or a
// failure. What is not listed then is listed later, when the walk gets there.
class TreeScanner {
  public:
    TreeScanner(std::string pattern, const MountSet& skip, std::int64_t capacity)
        : pattern_(std::move(pattern)), skip_(skip), capacity_(capacity) {}

    // Lists `root` and what lies below it with `threads` threads, this one
    // included, telling `progress` (on this thread) how many entries were found.
    void Run(Node& root, int threads, SearchProgress* progress) {
        todo_.push_back(&root);
        std::vector<std::thread> helpers;
        for (int i = 1; i < threads; ++i) helpers.emplace_back([this] { Work(nullptr); });
        Work(progress);
        for (std::thread& helper : helpers) helper.join();
        if (error_) std::rethrow_exception(error_);
    }

    // Lists one folder and makes its subfolders' nodes.
    void Scan(Node& node) {
        node.scan = ScanFolder(node.path, pattern_, [&node](const FolderId& id) {
            for (const Node* above = node.parent; above != nullptr; above = above->parent) {
                if (above->scan.id == id) return true;
            }
            return false;
        });
        node.scanned = true;
        const std::string folder = AddBackslash(node.path);
        for (const std::string& name : node.scan.subfolders) {
            std::string path = folder + name;
            if (skip_.count(path) != 0) continue;
            auto child = std::make_unique<Node>();
            child->path = std::move(path);
            child->parent = &node;
            node.children.push_back(std::move(child));
        }
        std::vector<std::string>().swap(node.scan.subfolders);
        std::size_t bytes = node.scan.fileEntries.Bytes();
        for (const auto& child : node.children) bytes += child->path.size();
        bytes_ += bytes;
        const auto added =
            static_cast<std::int64_t>(node.scan.fileEntries.size() + node.children.size());
        if (found_.fetch_add(added) + added > capacity_ || node.scan.failure) enough_ = true;
    }

    // Bytes of all entries found so far.
    std::size_t Bytes() const { return bytes_; }

  private:
    void Work(SearchProgress* progress) {
        try {
            for (;;) {
                Node* node = nullptr;
                {
                    std::unique_lock<std::mutex> lock(mutex_);
                    ready_.wait(lock, [this] { return !todo_.empty() || busy_ == 0 || enough_; });
                    if (todo_.empty() || enough_ || error_) break;
                    node = todo_.back();
                    todo_.pop_back();
                    ++busy_;
                }
                Scan(*node);
                {
                    std::lock_guard<std::mutex> lock(mutex_);
                    --busy_;
                    // The first subfolder on top: the tree is listed roughly in
                    // the order it is walked, which keeps the waiting part small.
                    for (auto it = node->children.rbegin(); it != node->children.rend(); ++it) {
                        todo_.push_back(it->get());
                    }
                }
                ready_.notify_all();
                if (progress != nullptr) {
                    progress->EntriesFound(
                        static_cast<std::int32_t>(std::min<std::int64_t>(found_, capacity_ + 1)));
                }
            }
        } catch (...) {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!error_) error_ = std::current_exception();
            enough_ = true;
        }
        ready_.notify_all();
    }

    const std::string pattern_;
    const MountSet& skip_;
    const std::int64_t capacity_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::vector<Node*> todo_;
    int busy_ = 0;
    std::exception_ptr error_;
    std::atomic<std::int64_t> found_{0};
    std::atomic<std::size_t> bytes_{0};
    std::atomic<bool> enough_{false};
};

// Appends a listed folder's own file entries; its failure, if any, ends the walk.
void AppendFiles(SearchState& state, Node& node) {
    const EntryBatch& files = node.scan.fileEntries;
    for (std::size_t i = 0; i < files.size(); ++i) AppendEntry(state, files[i]);
    if (node.scan.failure) throw SearchFailure(*node.scan.failure);
    node.scan.fileEntries.Release();
}

// Lays the listed tree down into the found-file list in walk order.
void AppendTree(SearchParams& params, SearchState& state, TreeScanner& scanner, Node& root) {
    if (!root.scanned) scanner.Scan(root);
    if (!root.scan.listed) return;
    AppendFiles(state, root);
    std::vector<std::pair<Node*, std::size_t>> stack{{&root, 0}};
    while (!stack.empty()) {
        auto& [node, next] = stack.back();
        if (next == node->children.size()) {
            node->children.clear();  // all of it is in the list now
            stack.pop_back();
            continue;
        }
        Node& child = *node->children[next++];
        params.Path = child.path;
        AppendEntry(state, child.path);
        if (!child.scanned) scanner.Scan(child);
        if (child.scan.listed) {
            AppendFiles(state, child);
            stack.emplace_back(&child, 0);
        }
    }
}

}  // namespace

int DefaultSearchThreads() {
    const unsigned cores = std::thread::hardware_concurrency();
    return cores >= 2 ? 2 : 1;
}

void SearchFolder(SearchParams& params, SearchState& state, const MountSet& skip,
                  SearchProgress* progress, int threads) {
    const std::unique_ptr<Node, TreeDeleter> root(new Node);
    root->path = params.Path;
    TreeScanner scanner(params.Pattern, skip,
                        static_cast<std::int64_t>(state.FoundList.UpperBound()) - state.FoundCount);
    scanner.Run(*root, std::max(threads, 1), progress);
    state.FoundList.ReserveBytes(scanner.Bytes());
    AppendTree(params, state, scanner, *root);
    if (progress != nullptr) progress->EntriesFound(state.FoundCount);
}

void RunSearch(SearchParams& params, SearchState& state, SearchProgress* progress) {
    SearchFolder(params, state, LoadPseudoMounts(), progress, DefaultSearchThreads());
}

}  // namespace doze
