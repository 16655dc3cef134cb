// SPDX-License-Identifier: MIT
#include "search/folder_route.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <utility>

#include "search/path_text.h"

namespace doze {
namespace {

// The longest path one system call takes, its NUL not counted.
constexpr std::size_t kLongestPiece = PATH_MAX - 1;

// Opens a route's path piece by piece, holding one descriptor between pieces.
class PieceOpener {
  public:
    PieceOpener(const ListingCalls& calls, const std::string& path) : calls_(calls), path_(path) {}

    // Starts below the open folder `fd`, which stays open, at path[from).
    void StartBelow(int fd, std::size_t from) {
        at_ = fd;
        from_ = from;
        SkipSeparators();
    }

    std::size_t From() const { return from_; }

    // Opens path[From(), to) relative to the piece before, which is closed.
    // `check`: the identity the folder reached must have, or null; `want`:
    // where to put the identity of the folder reached, or null.
    Result<void> Open(std::size_t to, bool noFollow, const FolderId* check, FolderId* want) {
        const char* text = path_.c_str();
        if (from_ != 0 || to != path_.size()) {
            piece_.assign(path_, from_, to - from_);
            text = piece_.c_str();
        }
        const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | (noFollow ? O_NOFOLLOW : 0);
        UniqueFd next(calls_.openat(at_, text, flags), calls_.close);
        if (!next) {
            const bool changed = noFollow && (errno == ELOOP || errno == ENOTDIR);
            return LastError(changed ? kFolderChanged : "open", text);
        }
        own_ = std::move(next);
        at_ = own_.Get();
        if (check != nullptr || want != nullptr) {
            struct stat st {};
            if (calls_.fstat(at_, &st) != 0) return LastError("fstat", text);
            const FolderId id{st.st_dev, st.st_ino};
            if (check != nullptr && id != *check) return SystemError{ESTALE, text, kFolderChanged};
            if (want != nullptr) *want = id;
        }
        from_ = to;
        SkipSeparators();
        return {};
    }

    // The descriptor of the last piece.
    UniqueFd Release() { return std::move(own_); }

  private:
    void SkipSeparators() {
        while (from_ < path_.size() && path_[from_] == kSeparator) ++from_;
    }

    const ListingCalls& calls_;
    const std::string& path_;
    std::string piece_;
    std::size_t from_ = 0;
    UniqueFd own_;       // the last piece opened
    int at_ = AT_FDCWD;  // where the next piece is opened: own_, or a folder another keeps
};

// Identities of steps up to here are found by looking at each.
constexpr std::size_t kFewSteps = 32;

}  // namespace

void FolderRoute::Start(std::string_view root, std::uint64_t key) {
    Truncate(0);
    path_.assign(root);
    steps_.push_back(Step{path_.size(), {}, key, {}});
}

void FolderRoute::Descend(std::string_view name, FolderId id, std::uint64_t key) {
    AppendToPath(path_, name);
    steps_.push_back(Step{path_.size(), id, key, {}});
    if (steps_.size() > kFewSteps) ++deepIds_[id];
}

void FolderRoute::Forget(const FolderId& id, std::size_t step) {
    if (step < kFewSteps) return;
    const auto it = deepIds_.find(id);
    if (it != deepIds_.end() && --it->second == 0) deepIds_.erase(it);
}

void FolderRoute::Truncate(std::size_t depth) {
    while (!held_.empty() && held_.back() >= depth) held_.pop_back();
    while (steps_.size() > depth) {
        Forget(steps_.back().id, steps_.size() - 1);
        steps_.pop_back();  // closes what it held
    }
    path_.resize(steps_.empty() ? 0 : steps_.back().end);
}

void FolderRoute::SetRootId(FolderId id) {
    steps_.front().id = id;
}

bool FolderRoute::Repeats(const FolderId& id) const {
    const std::size_t above = steps_.empty() ? 0 : steps_.size() - 1;
    for (std::size_t i = 0; i < std::min(above, kFewSteps); ++i) {
        if (steps_[i].id == id) return true;
    }
    if (above <= kFewSteps) return false;
    const auto it = deepIds_.find(id);
    const std::uint32_t count = it == deepIds_.end() ? 0 : it->second;
    return count > (steps_.back().id == id ? 1u : 0u);
}

bool FolderRoute::Hold(UniqueFd& fd) {
    if (holdMost_ == 0 || steps_.empty()) return false;
    const std::size_t last = steps_.size() - 1;
    if (!steps_[last].held) held_.push_back(last);
    steps_[last].held = std::move(fd);
    // The highest go first: the next folders are most likely below the last.
    while (held_.size() > holdMost_) {
        steps_[held_.front()].held.Reset();
        held_.erase(held_.begin());
    }
    return true;
}

void FolderRoute::DropHeld() {
    for (const std::size_t step : held_) steps_[step].held.Reset();
    held_.clear();
}

Result<OpenedFolder> OpenRoute(const ListingCalls& calls, const FolderRoute& route) {
    const std::string& path = route.Path();
    const std::vector<FolderRoute::Step>& steps = route.Steps();
    PieceOpener opener(calls, path);
    const auto tooLong = [&path] { return SystemError{ENAMETOOLONG, path, "cut the path"}; };
    const std::size_t last = steps.size() - 1;
    std::size_t below = last;  // the deepest folder held open above the end
    while (below-- > 0 && !steps[below].held) {
    }
    std::size_t i = 0;
    if (below < last) {
        opener.StartBelow(steps[below].held.Get(), steps[below].end);
        i = below + 1;
    } else {
        // The root's own path, cut at separators while it is too long.
        const std::size_t rootEnd = steps.front().end;
        while (rootEnd - opener.From() > kLongestPiece) {
            const std::size_t cut = path.rfind(kSeparator, opener.From() + kLongestPiece);
            if (cut == std::string::npos || cut <= opener.From()) return tooLong();
            if (Result<void> piece = opener.Open(cut, false, nullptr, nullptr); !piece) {
                return piece.Error();
            }
        }
    }
    // Then as many folders at once as one call takes, each name whole.
    OpenedFolder opened;
    while (i <= last) {
        std::size_t j = i;
        while (j < last && steps[j + 1].end - opener.From() <= kLongestPiece) ++j;
        if (steps[j].end - opener.From() > kLongestPiece) return tooLong();
        const FolderId* check = last > 0 ? &steps[j].id : nullptr;
        Result<void> piece =
            opener.Open(steps[j].end, j > 0, check, j == last ? &opened.id : nullptr);
        if (!piece) return piece.Error();
        i = j + 1;
    }
    opened.fd = opener.Release();
    return opened;
}

}  // namespace doze
