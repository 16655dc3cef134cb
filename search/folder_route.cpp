#include "search/folder_route.h"

#include <fcntl.h>
#include <sys/stat.h>

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
    ~PieceOpener() {
        if (fd_ >= 0) calls_.close(fd_);
    }

    std::size_t From() const { return from_; }

    // Opens path[From(), to) relative to the piece before. `check`: the
    // identity the folder reached must have, or null; `want`: where to put
    // the identity of the folder reached, or null.
    bool Open(std::size_t to, bool noFollow, const FolderId* check, FolderId* want) {
        const char* text = path_.c_str();
        if (from_ != 0 || to != path_.size()) {
            piece_.assign(path_, from_, to - from_);
            text = piece_.c_str();
        }
        const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | (noFollow ? O_NOFOLLOW : 0);
        const int next = calls_.openat(fd_ < 0 ? AT_FDCWD : fd_, text, flags);
        const int err = errno;
        if (fd_ >= 0) calls_.close(fd_);
        fd_ = next;
        if (fd_ < 0) return Fail(err, noFollow && (err == ELOOP || err == ENOTDIR));
        if (check != nullptr || want != nullptr) {
            struct stat st {};
            if (calls_.fstat(fd_, &st) != 0) return Fail(errno, false);
            const FolderId id{st.st_dev, st.st_ino};
            if (check != nullptr && id != *check) return Fail(ESTALE, true);
            if (want != nullptr) *want = id;
        }
        from_ = to;
        while (from_ < path_.size() && path_[from_] == kSeparator) ++from_;
        return true;
    }

    bool Fail(int err, bool changed) {
        if (fd_ >= 0) calls_.close(fd_);
        fd_ = -1;
        changed_ = changed;
        errno = err;
        return false;
    }

    bool Changed() const { return changed_; }

    // The descriptor of the last piece, now the caller's.
    int Release() { return std::exchange(fd_, -1); }

  private:
    const ListingCalls& calls_;
    const std::string& path_;
    std::string piece_;
    std::size_t from_ = 0;
    int fd_ = -1;
    bool changed_ = false;
};

}  // namespace

void FolderRoute::Start(std::string_view root) {
    path.assign(root);
    steps.assign(1, Step{path.size(), {}});
}

void FolderRoute::Descend(std::string_view name, FolderId id) {
    AppendToPath(path, name);
    steps.push_back(Step{path.size(), id});
}

int OpenRoute(const ListingCalls& calls, const FolderRoute& route, FolderId& opened,
              bool& changed) {
    PieceOpener opener(calls, route.path);
    const auto fail = [&opener, &changed] {
        changed = opener.Changed();
        return -1;
    };
    // The root's own path, cut at separators while it is too long.
    const std::size_t rootEnd = route.steps.front().end;
    while (rootEnd - opener.From() > kLongestPiece) {
        const std::size_t cut = route.path.rfind(kSeparator, opener.From() + kLongestPiece);
        if (cut == std::string::npos || cut <= opener.From()) {
            opener.Fail(ENAMETOOLONG, false);
            return fail();
        }
        if (!opener.Open(cut, false, nullptr, nullptr)) return fail();
    }
    // Then as many folders at once as one call takes, each name whole.
    const std::size_t last = route.steps.size() - 1;
    for (std::size_t i = 0; i <= last;) {
        std::size_t j = i;
        while (j < last && route.steps[j + 1].end - opener.From() <= kLongestPiece) ++j;
        if (route.steps[j].end - opener.From() > kLongestPiece) {
            opener.Fail(ENAMETOOLONG, false);
            return fail();
        }
        const FolderId* check = last > 0 ? &route.steps[j].id : nullptr;
        if (!opener.Open(route.steps[j].end, j > 0, check, j == last ? &opened : nullptr)) {
            return fail();
        }
        i = j + 1;
    }
    changed = false;
    return opener.Release();
}

}  // namespace doze
