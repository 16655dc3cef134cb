#include "search/walker.h"

#include <string>
#include <vector>

#include "search/collector.h"
#include "search/dir_listing.h"
#include "search/path_text.h"

namespace doze {
namespace {

// One folder on the way down: its path with one trailing separator, its
// identity, and the subfolders still to visit.
struct Level {
    std::string folder;
    FolderId id;
    std::vector<std::string> subfolders;
    std::size_t next = 0;
};

bool IsOnPath(const std::vector<Level>& stack, const FolderId& id) {
    for (const Level& level : stack) {
        if (level.id == id) return true;
    }
    return false;
}

// Lists params.Path, collects its files and returns its level, or false when
// it cannot be listed or is already one of the folders above it.
bool EnterFolder(SearchParams& params, SearchState& state, const std::vector<Level>& stack,
                 FolderListing& listing, Level& level) {
    if (!listing.Open(params.Path)) return false;
    if (IsOnPath(stack, listing.Id())) {
        listing.Close();
        return false;
    }
    CollectFolderFiles(params, state, listing);
    level.folder = AddBackslash(params.Path);
    level.id = listing.Id();
    level.subfolders.clear();
    level.next = 0;
    for (const ListedEntry& item : listing.Entries()) {
        if (item.type == EntryType::Folder) level.subfolders.push_back(item.name);
    }
    listing.Close();
    return true;
}

}  // namespace

void SearchFolder(SearchParams& params, SearchState& state, const MountSet& skip,
                  SearchProgress* progress) {
    std::vector<Level> stack;
    FolderListing listing;
    Level level;
    if (!EnterFolder(params, state, stack, listing, level)) return;
    stack.push_back(std::move(level));
    if (progress != nullptr) progress->EntriesFound(state.FoundCount);

    while (!stack.empty()) {
        Level& top = stack.back();
        if (top.next == top.subfolders.size()) {
            stack.pop_back();
            continue;
        }
        params.Path = top.folder + top.subfolders[top.next++];
        if (skip.count(params.Path) != 0) continue;
        AppendEntry(state, params.Path);
        Level child;
        if (EnterFolder(params, state, stack, listing, child)) stack.push_back(std::move(child));
        if (progress != nullptr) progress->EntriesFound(state.FoundCount);
    }
}

void RunSearch(SearchParams& params, SearchState& state, SearchProgress* progress) {
    SearchFolder(params, state, LoadPseudoMounts(), progress);
}

}  // namespace doze
