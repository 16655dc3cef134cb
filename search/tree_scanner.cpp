#include "search/tree_scanner.h"

#include <sys/resource.h>

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <utility>

#include "search/path_text.h"
#include "search/walker.h"

namespace doze {
namespace {

// Tells whether the calling thread waited (on the disk, or anything else it
// had to sleep for) since the meter was made.
class WaitMeter {
  public:
    explicit WaitMeter(bool on) : on_(on) { on_ = on_ && Now(before_); }
    bool Waited() const {
        rusage after{};
        return on_ && Now(after) &&
               (after.ru_nvcsw != before_.ru_nvcsw || after.ru_inblock != before_.ru_inblock);
    }

  private:
    static bool Now(rusage& usage) { return ::getrusage(RUSAGE_THREAD, &usage) == 0; }
    bool on_;
    rusage before_{};
};

// The way from the root of `node`'s tree down to it.
void BuildRoute(const WalkNode& node, FolderRoute& route) {
    thread_local std::vector<const WalkNode*> chain;
    chain.clear();
    for (const WalkNode* at = &node; at != nullptr; at = at->parent) chain.push_back(at);
    route.Start(chain.back()->name);
    if (chain.size() > 1) route.SetRootId(chain.back()->id);
    for (std::size_t i = chain.size() - 1; i-- > 0;) route.Descend(chain[i]->name, chain[i]->id);
}

}  // namespace

void WalkTreeDeleter::operator()(WalkNode* root) const {
    std::vector<std::unique_ptr<WalkNode>> pending;
    pending.emplace_back(root);
    while (!pending.empty()) {
        std::unique_ptr<WalkNode> node = std::move(pending.back());
        pending.pop_back();
        for (auto& child : node->children) pending.push_back(std::move(child));
    }
}

void TreeScanner::Run(WalkNode& root, int first, int most, SearchProgress* progress) {
    todo_.push_back(&root);
    cancel_ = progress;
    most_ = static_cast<std::size_t>(std::max(most, 1));
    mayGrow_ = most_ > 1;
    try {
        std::lock_guard<std::mutex> lock(mutex_);
        helpers_.reserve(most_ - 1);
        for (int i = 1; i < first && StartHelper(); ++i) {
        }
    } catch (...) {
        Stop(std::current_exception());
    }
    Work(progress);
    std::vector<std::thread> helpers;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closing_ = true;
        helpers.swap(helpers_);
    }
    for (std::thread& helper : helpers) helper.join();
    if (error_) std::rethrow_exception(error_);
}

bool TreeScanner::ScanNode(WalkNode& node, bool mayDefer) {
    thread_local FolderRoute route;
    FolderScan scan;
    if (node.lookError != 0) {
        // Its parent's listing could not tell what it is: it is not opened.
        const bool changed = node.lookError == ENOTDIR || node.lookError == ELOOP;
        scan.outcome = changed ? ListingOutcome::Changed : ListingOutcome::NotListed;
        scan.error = node.lookError;
    } else {
        BuildRoute(node, route);
        scan = ScanFolder(
            route, pattern_,
            [&node](const FolderId& id) {
                for (const WalkNode* above = node.parent; above != nullptr; above = above->parent) {
                    if (above->id == id) return true;
                }
                return false;
            },
            calls_, audio_);
        // Out of descriptors while other threads hold theirs: the walk lists
        // it later, alone.
        if (mayDefer && scan.outcome == ListingOutcome::NotListed &&
            (scan.error == EMFILE || scan.error == ENFILE)) {
            return false;
        }
    }
    node.scan = std::move(scan);
    node.scanned = true;
    if (node.parent == nullptr) node.id = node.scan.id;
    std::size_t bytes = node.scan.fileEntries.Bytes();
    for (ListedEntry& sub : node.scan.subfolders) {
        if (skip_.Skips(route.path, node.scan.id.dev, sub)) continue;
        auto child = std::make_unique<WalkNode>();
        child->name = std::move(sub.name);
        child->parent = &node;
        child->id = sub.id;
        child->lookError = sub.lookError;
        bytes += JoinedLength(route.path, child->name);
        node.children.push_back(std::move(child));
    }
    std::vector<ListedEntry>().swap(node.scan.subfolders);
    bytes_ += bytes;
    const auto added =
        static_cast<std::int64_t>(node.scan.fileEntries.size() + node.children.size());
    if (found_.fetch_add(added) + added > capacity_ || node.scan.failure) enough_ = true;
    return true;
}

void TreeScanner::Work(SearchProgress* progress) {
    try {
        for (unsigned scans = 0;; ++scans) {
            WalkNode* node = nullptr;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                ready_.wait(lock, [this] { return !todo_.empty() || busy_ == 0 || enough_; });
                if (todo_.empty() || enough_ || error_) break;
                node = todo_.back();
                todo_.pop_back();
                ++busy_;
            }
            if (cancel_ != nullptr && cancel_->Cancelled()) throw SearchCancelled();
            // Every fourth listing is watched: a thread that waits keeps waiting.
            const WaitMeter meter(mayGrow_ && scans % 4 == 0);
            const bool scanned = ScanNode(*node, true);
            const bool waited = meter.Waited();
            {
                std::lock_guard<std::mutex> lock(mutex_);
                --busy_;
                // The first subfolder on top: the tree is listed roughly in
                // the order it is walked, which keeps the waiting part small.
                if (scanned) {
                    for (auto it = node->children.rbegin(); it != node->children.rend(); ++it) {
                        todo_.push_back(it->get());
                    }
                }
                // A thread that waits leaves its core idle: another one may use it.
                if (waited && !todo_.empty()) StartHelper();
            }
            ready_.notify_all();
            if (progress != nullptr) {
                progress->EntriesFound(
                    static_cast<std::int32_t>(std::min<std::int64_t>(found_, capacity_ + 1)));
            }
        }
    } catch (...) {
        Stop(std::current_exception());
    }
    ready_.notify_all();
}

bool TreeScanner::StartHelper() {
    if (closing_ || helpers_.size() + 1 >= most_) {
        mayGrow_ = false;
        return false;
    }
    try {
        helpers_.emplace_back([this] { Work(nullptr); });
    } catch (const std::system_error&) {
        // No thread to be had: the search goes on with those it has.
        mayGrow_ = false;
        return false;
    }
    if (helpers_.size() + 1 >= most_) mayGrow_ = false;
    return true;
}

void TreeScanner::Stop(std::exception_ptr error) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!error_) error_ = std::move(error);
        enough_ = true;
    }
    ready_.notify_all();
}

}  // namespace doze
