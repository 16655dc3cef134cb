// SPDX-License-Identifier: MIT
#include "search/tree_scanner.h"

#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <utility>

namespace doze {

namespace {

// A listing call that takes this long waited for the disk or the network,
// or for a core: those of a folder the kernel has cached take a few
// microseconds.
constexpr auto kSlowCall = std::chrono::microseconds(100);

// The listing calls of a helper whose listing is watched: the scanner's own,
// each one timed, the slow ones counted.
struct CallTiming {
    const ListingCalls* calls = nullptr;
    long slow = 0;
};
thread_local CallTiming tTiming;

// Times of the calls of one listing, and whether its thread went to sleep
// for each slow one: a thread kept off the cores by others is no sign.
class Watch {
  public:
    explicit Watch(bool on) : on_(on && Sleeps(before_)) { tTiming.slow = 0; }
    bool On() const { return on_; }
    // Two slow calls, each one a sleep: not by chance.
    bool Waited() const {
        long after = 0;
        return on_ && tTiming.slow >= 2 && Sleeps(after) && after - before_ >= tTiming.slow;
    }

  private:
    static bool Sleeps(long& count) {
        rusage usage{};
        if (::getrusage(RUSAGE_THREAD, &usage) != 0) return false;
        count = usage.ru_nvcsw;
        return true;
    }
    long before_ = 0;
    bool on_;
};

template <auto kCall, typename Result, typename... Args>
Result Timed(Args... args) {
    const auto start = std::chrono::steady_clock::now();
    const Result result = (tTiming.calls->*kCall)(args...);
    const int err = errno;
    if (std::chrono::steady_clock::now() - start >= kSlowCall) ++tTiming.slow;
    errno = err;
    return result;
}

const ListingCalls kTimedCalls = {
    Timed<&ListingCalls::openat, int, int, const char*, int>,
    Timed<&ListingCalls::getdents64, ssize_t, int, void*, std::size_t>,
    Timed<&ListingCalls::fstat, int, int, struct stat*>,
    Timed<&ListingCalls::fstatat, int, int, const char*, struct stat*, int>,
    Timed<&ListingCalls::close, int, int>,
};

// Memory helpers may always hold listed ahead of the walk.
constexpr std::size_t kLeastAhead = std::size_t{8} << 20;

// Folders a thread keeps open at most between listings.
constexpr std::size_t kMostHeld = 8;

// The stack of a helper thread; more where sanitizers make frames larger.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr std::size_t kHelperStack = std::size_t{8} << 20;
#else
constexpr std::size_t kHelperStack = std::size_t{512} << 10;
#endif

// How many folders each of `threads` threads may keep open between listings,
// so that all of them together use at most half the descriptors there are.
std::size_t HeldPerThread(std::size_t threads) {
    rlimit files{};
    if (::getrlimit(RLIMIT_NOFILE, &files) != 0 || files.rlim_cur == RLIM_INFINITY) {
        return kMostHeld;
    }
    // Two more each: the folder being listed, and a piece of a long path.
    const rlim_t each = files.rlim_cur / 2 / threads;
    return each <= 2 ? 0 : std::min<std::size_t>(kMostHeld, each - 2);
}

// Bytes of address space the process uses, or more than there are when that
// cannot be read.
std::size_t AddressSpaceInUse() {
    const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    std::size_t pages = SIZE_MAX / 2 / page;
    if (FILE* statm = std::fopen("/proc/self/statm", "re")) {
        if (std::fscanf(statm, "%zu", &pages) != 1) pages = SIZE_MAX / 2 / page;
        std::fclose(statm);
    }
    return pages * page;
}

}  // namespace

void WalkTreeDeleter::operator()(WalkNode* root) const {
    // Down to a folder without children, freed on the way back up: no
    // recursion and no memory, which may have run out.
    for (WalkNode* node = root; node != nullptr;) {
        if (!node->children.empty()) {
            WalkNode* child = node->children.back().release();
            node->children.pop_back();
            node = child;
        } else {
            WalkNode* parent = node == root ? nullptr : node->parent;
            delete node;
            node = parent;
        }
    }
}

TreeScanner::TreeScanner(std::string pattern, const PseudoMountSkip& skip, std::int64_t capacity,
                         const ListingCalls& calls, const AudioReadOptions* audio,
                         const SearchProgress* cancel)
    : pattern_(std::move(pattern)),
      skip_(skip),
      capacity_(capacity),
      calls_(calls),
      audio_(audio),
      cancel_(cancel) {}

bool TreeScanner::Cancelled() const {
    return cancel_ != nullptr && cancel_->Cancelled();
}

void TreeScanner::Start(int first, int most) {
    most_ = static_cast<std::size_t>(std::max(most, 1)) - 1;
    hold_ = HeldPerThread(most_ + 1);
    // With the address space limited, every thread takes its memory from the
    // one heap (a heap of its own would reserve 64 MiB of it), and helpers
    // are started only while half of it is left.
    rlimit space{};
    if (::getrlimit(RLIMIT_AS, &space) == 0 && space.rlim_cur != RLIM_INFINITY) {
        ::mallopt(M_ARENA_MAX, 1);
        addressSpace_ = space.rlim_cur;
    }
    route_.HoldUpTo(hold_);
    helpers_.reserve(most_);
    mayGrow_ = true;
    const Lock lock(mutex_);
    for (int i = 0; i < first && StartHelper(); ++i) {
    }
}

void TreeScanner::Stop() {
    {
        const Lock lock(mutex_);
        closing_ = true;
    }
    work_.notify_all();
    helpers_.clear();  // each one joined
    route_.DropHeld();
}

bool TreeScanner::Ahead() const {
    return ahead_ > std::max(kLeastAhead, laid_ / 8);
}

bool TreeScanner::FarAhead() {
    if (!Ahead()) return false;
    heldBack_ = true;  // the walk wakes them once it has caught up
    return true;
}

bool TreeScanner::Await(WalkNode& node) {
    if (Cancelled()) return false;
    Lock lock(mutex_);
    // The folder awaited before is laid down now.
    ahead_ -= std::exchange(lastWeight_, 0);
    if (heldBack_ && !FarAhead()) {
        heldBack_ = false;
        work_.notify_all();
    }
    for (;;) {
        if (node.state == WalkNode::State::Scanned) {
            laid_ += node.weight;
            lastWeight_ = node.weight;
            return true;
        }
        WalkNode* folder = &node;
        if (node.state == WalkNode::State::Claimed) {
            // A helper lists it: meanwhile this thread lists another one.
            folder = solo_ || Ahead() ? nullptr : Take(route_);
            if (folder == nullptr) {
                // Asked now and then whether the user has given up on a
                // folder that takes long, on a share that stopped answering.
                awaited_ = &node;
                done_.wait_for(lock, std::chrono::milliseconds(100));
                awaited_ = nullptr;
                if (Cancelled()) return false;
                continue;
            }
        } else if (node.state == WalkNode::State::Waiting && node.parent != nullptr) {
            --waiting_;  // none of the helpers has it: it is listed here
        }
        const WalkNode::State was = std::exchange(folder->state, WalkNode::State::Claimed);
        const bool alone = was == WalkNode::State::Deferred;
        if (alone) {
            // Every descriptor a helper holds is given back first.
            solo_ = true;
            work_.notify_all();
            done_.wait(lock, [this] { return busy_ == 0 && holding_ == 0; });
        }
        const bool helped = live_ > 0;
        lock.unlock();
        if (alone) route_.DropHeld();
        bool scanned = false;
        try {
            scanned = ScanHere(*folder, route_, calls_, !alone && helped);
        } catch (...) {
            lock.lock();
            solo_ = false;
            throw;
        }
        lock.lock();
        if (alone) {
            solo_ = false;
            work_.notify_all();
        }
        folder->state = scanned ? WalkNode::State::Scanned : WalkNode::State::Deferred;
    }
}

void TreeScanner::Release(WalkNode& node) {
    {
        const Lock lock(mutex_);
        if (node.inOffer) Withdraw(node);
    }
    node.children.clear();
}

bool TreeScanner::ScanHere(WalkNode& node, FolderRoute& route, const ListingCalls& calls,
                           bool mayDefer) {
    MoveRoute(route, node);
    const SubfolderSink show = [&](const FolderListing& listing) {
        ShowChildren(node, route, listing);
    };
    const SubfolderSink none;
    // Its subfolders shown already: only its files are collected again.
    const SubfolderSink& sink = node.shown > 0 ? none : show;
    FolderScan scan = ScanFolder(route, pattern_, sink, calls, audio_);
    if (scan.outcome == ListingOutcome::NotListed &&
        (scan.error == EMFILE || scan.error == ENFILE)) {
        // Out of descriptors: those this thread keeps go first; while other
        // threads hold theirs, the walk lists it later, alone.
        if (route.Held() > 0) {
            route.DropHeld();
            scan = ScanFolder(route, pattern_, sink, calls, audio_);
        }
        if (mayDefer && scan.outcome == ListingOutcome::NotListed &&
            (scan.error == EMFILE || scan.error == ENFILE)) {
            return false;
        }
    }
    if (node.shown > 0 && !scan.Entered()) {
        // Its subfolders were shown and are being walked: what could not be
        // read again is its files.
        scan.outcome = ListingOutcome::ListedInPart;
        scan.metAgain = false;
    }
    node.scan = std::move(scan);
    if (node.parent == nullptr && node.children.empty()) node.id = node.scan.id;
    const std::size_t files = node.scan.fileEntries.size();
    std::int64_t added = static_cast<std::int64_t>(files);
    for (const auto& child : node.children) added += child->passed ? 0 : 1;
    node.weight = node.scan.fileEntries.Bytes() + files * sizeof(std::size_t) +
                  node.children.size() * (sizeof(WalkNode) + sizeof(void*));
    ahead_ += node.weight;
    if (found_.fetch_add(added) + added > capacity_ || node.scan.failure) enough_ = true;
    return true;
}

void TreeScanner::MoveRoute(FolderRoute& route, const WalkNode& node) const {
    // The nodes from `node` up to the deepest one the route shares with it.
    thread_local std::vector<const WalkNode*> down;
    down.clear();
    const std::vector<FolderRoute::Step>& steps = route.Steps();
    const WalkNode* at = &node;
    for (; at != nullptr; at = at->parent) {
        if (at->depth < steps.size() && steps[at->depth].key == at->key) break;
        down.push_back(at);
    }
    if (at == nullptr) {
        const WalkNode* root = down.back();
        down.pop_back();
        route.Start(root->name, root->key);
        if (!down.empty()) route.SetRootId(root->id);
    } else {
        route.Truncate(at->depth + 1);
    }
    for (auto it = down.rbegin(); it != down.rend(); ++it) {
        route.Descend((*it)->name, (*it)->id, (*it)->key);
    }
}

void TreeScanner::ShowChildren(WalkNode& node, FolderRoute& route, const FolderListing& listing) {
    // Every child is made before the first is shown: showing them needs no
    // more memory, so a thread that runs out of it has shown all or none.
    std::size_t count = 0;
    for (const ListedEntry& entry : listing.Entries()) count += entry.type == EntryType::Folder;
    node.children.reserve(count);
    for (const ListedEntry& entry : listing.Entries()) {
        if (entry.type != EntryType::Folder || skip_.SkipsPath(route.Path(), entry.name)) continue;
        auto child = std::make_unique<WalkNode>();
        child->name.assign(entry.name);
        child->parent = &node;
        child->key = ++keys_;
        child->depth = node.depth + 1;
        node.children.push_back(std::move(child));
    }
    if (node.children.empty()) return;
    // The way to its children starts at the root's identity.
    if (node.parent == nullptr) {
        node.id = listing.Id();
        route.SetRootId(node.id);
    }
    {
        const Lock lock(mutex_);
        node.showing = true;
        Offer(node);
    }
    // Each one looked at and shown at once, so that a helper lists it while
    // this thread looks at the next.
    const dev_t dev = listing.Id().dev;
    for (const auto& child : node.children) {
        const Result<FolderId> look = listing.Look(child->name);
        WalkNode::State state = WalkNode::State::Waiting;
        if (look) {
            child->id = *look;
        } else {
            // Its parent's listing could not tell what it is: it is not opened.
            const int err = look.Error().code;
            const bool changed = err == ENOTDIR || err == ELOOP;
            child->scan.outcome = changed ? ListingOutcome::Changed : ListingOutcome::NotListed;
            child->scan.error = err;
            state = WalkNode::State::Scanned;
        }
        const bool passed = skip_.SkipsDevice(dev, look);
        const Lock lock(mutex_);
        child->passed = passed;
        child->state = passed ? WalkNode::State::Scanned : state;
        ++node.shown;
        if (child->state == WalkNode::State::Waiting) {
            ++waiting_;
            work_.notify_one();
        }
    }
    const Lock lock(mutex_);
    node.showing = false;
    if (node.handedOut == node.shown) Withdraw(node);
}

void TreeScanner::Offer(WalkNode& node) {
    if (node.inOffer) return;
    node.older = newest_;
    node.newer = nullptr;
    if (newest_ != nullptr) newest_->newer = &node;
    newest_ = &node;
    node.inOffer = true;
}

void TreeScanner::Withdraw(WalkNode& node) {
    if (!node.inOffer) return;
    (node.newer != nullptr ? node.newer->older : newest_) = node.older;
    if (node.older != nullptr) node.older->newer = node.newer;
    node.newer = node.older = nullptr;
    node.inOffer = false;
}

WalkNode* TreeScanner::Take(const FolderRoute& route) {
    // The children of the deepest folder on this thread's way first: they
    // are opened below a folder it keeps open. Then the latest shown.
    const std::vector<FolderRoute::Step>& steps = route.Steps();
    WalkNode* mine = nullptr;
    for (WalkNode* offer = newest_; offer != nullptr; offer = offer->older) {
        if (offer->depth < steps.size() && steps[offer->depth].key == offer->key &&
            (mine == nullptr || offer->depth > mine->depth)) {
            mine = offer;
        }
    }
    if (mine != nullptr) {
        if (WalkNode* child = TakeChildOf(*mine)) return child;
    }
    for (WalkNode* offer = newest_; offer != nullptr;) {
        WalkNode* const older = offer->older;
        if (WalkNode* child = TakeChildOf(*offer)) return child;
        offer = older;
    }
    return nullptr;
}

WalkNode* TreeScanner::TakeChildOf(WalkNode& offer) {
    WalkNode* taken = nullptr;
    while (taken == nullptr && offer.handedOut < offer.shown) {
        WalkNode* child = offer.children[offer.handedOut++].get();
        if (child->state == WalkNode::State::Waiting) taken = child;
    }
    if (offer.handedOut == offer.shown && !offer.showing) Withdraw(offer);
    if (taken != nullptr) {
        taken->state = WalkNode::State::Claimed;
        --waiting_;
    }
    return taken;
}

void TreeScanner::Help() {
    FolderRoute route;
    route.HoldUpTo(hold_);
    tTiming.calls = &calls_;
    bool holding = false;
    Lock lock(mutex_);
    for (unsigned scans = 0;; ++scans) {
        WalkNode* node = nullptr;
        while (!closing_ && !enough_ && !Cancelled() &&
               (solo_ || FarAhead() || (node = Take(route)) == nullptr)) {
            if (solo_ && holding) {
                // The walk lists a folder alone: nothing may stay open.
                lock.unlock();
                route.DropHeld();
                lock.lock();
                holding = false;
                --holding_;
                done_.notify_all();
                continue;
            }
            work_.wait(lock);
        }
        if (node == nullptr) break;
        ++busy_;
        lock.unlock();
        // Every fourth listing is watched: a thread that waits keeps waiting.
        const Watch watch(mayGrow_ && scans % 4 == 0);
        WalkNode::State state = WalkNode::State::Scanned;
        bool failed = false;
        try {
            if (!ScanHere(*node, route, watch.On() ? kTimedCalls : calls_, true)) {
                state = WalkNode::State::Deferred;
            }
        } catch (...) {
            // Out of memory, or anything else: the walk lists it again, and
            // this thread ends. Children already shown stay; then only its
            // files are left.
            failed = true;
            if (node->shown > 0) {
                state = WalkNode::State::FilesLeft;
            } else {
                state = WalkNode::State::Left;
                node->children.clear();
            }
            node->scan = FolderScan();
        }
        const bool waited = watch.Waited();
        lock.lock();
        --busy_;
        node->state = state;
        if (failed) {
            node->showing = false;
            if (node->handedOut == node->shown) Withdraw(*node);
            mayGrow_ = false;
        }
        if (route.Held() > 0 && !holding) ++holding_;
        if (route.Held() == 0 && holding) --holding_;
        holding = route.Held() > 0;
        if (node == awaited_ || solo_) done_.notify_all();
        if (failed) break;
        // A thread that waits leaves its core idle: others may use it.
        if (waited && waiting_ > 0) Grow();
    }
    --live_;
    if (holding) {
        lock.unlock();
        route.DropHeld();
        lock.lock();
        --holding_;
    }
    done_.notify_all();
}

void TreeScanner::Grow() {
    // At most twice as many, and no more than there are folders waiting.
    const std::size_t room = most_ - std::min(most_, live_);
    for (std::size_t n = std::min({waiting_, room, live_ + 1}); n > 0 && StartHelper(); --n) {
    }
}

bool TreeScanner::StartHelper() {
    // The room for every helper is made at the start: none is made here.
    if (!mayGrow_ || closing_ || live_ >= most_ || helpers_.size() == helpers_.capacity()) {
        return false;
    }
    if (addressSpace_ != 0 && 2 * (AddressSpaceInUse() + kHelperStack) > addressSpace_) {
        mayGrow_ = false;
        return false;
    }
    // A helper's stack need not be large, and costs address space.
    JoiningThread& helper = helpers_.emplace_back();
    const bool started = helper.Start(
        kHelperStack,
        [](void* scanner) -> void* {
            static_cast<TreeScanner*>(scanner)->Help();
            return nullptr;
        },
        this);
    if (!started) {
        // No thread to be had: the search goes on with those it has.
        helpers_.pop_back();
        mayGrow_ = false;
        return false;
    }
    if (++live_ == most_) mayGrow_ = false;
    return true;
}

}  // namespace doze
