#include "search/walker.h"

#include <algorithm>
#include <thread>
#include <utility>
#include <vector>

#include "search/errors.h"
#include "search/path_text.h"
#include "search/tree_scanner.h"

namespace doze {
namespace {

// Tells `progress` of a folder that could not be listed, or only in part.
void Report(SearchProgress* progress, const std::string& path, const FolderScan& scan) {
    if (progress == nullptr) return;
    const std::string cause = NotListedCause(scan);
    if (!cause.empty()) progress->FolderNotListed(path, cause);
}

// Appends a listed folder's own file entries and their audio facts, and tells
// `progress` of the files left out; the folder's failure, if any, ends the walk.
void AppendFiles(SearchState& state, WalkNode& node, const std::string& path,
                 SearchProgress* progress, bool audio) {
    const EntryBatch& files = node.scan.fileEntries;
    FileDetails& details = node.scan.fileDetails;
    if (progress != nullptr) {
        std::string filePath;
        for (const FileProblem& problem : details.problems) {
            filePath = path;
            AppendToPath(filePath, problem.name);
            progress->FileNotRead(filePath, problem.cause);
        }
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        AppendEntry(state, files[i]);
        if (audio) {
            state.FoundAudio.push_back(i < details.audio.size() ? std::move(details.audio[i])
                                                                : AudioFacts{});
        }
    }
    if (node.scan.failure) throw SearchFailure(*node.scan.failure);
    node.scan.fileEntries.Release();
    details = FileDetails{};
}

// Lays the listed tree down into the found-file list in walk order, building
// each folder's path as its entry is made.
void AppendTree(SearchParams& params, SearchState& state, TreeScanner& scanner, WalkNode& root,
                SearchProgress* progress, bool rootMustBeListed) {
    if (!root.scanned) scanner.Scan(root);
    if (rootMustBeListed && root.scan.outcome == ListingOutcome::NotListed) {
        throw SearchFailure("Cannot list \"" + root.name + "\": " + NotListedCause(root.scan) +
                            ".");
    }
    Report(progress, root.name, root.scan);
    if (!root.scan.Entered()) return;
    const bool audio = params.Audio.has_value();
    AppendFiles(state, root, root.name, progress, audio);
    std::string path = root.name;
    struct Level {
        WalkNode* node;
        std::size_t next;        // the child to lay down next
        std::size_t pathLength;  // of the node's path
    };
    std::vector<Level> stack{{&root, 0, path.size()}};
    while (!stack.empty()) {
        Level& level = stack.back();
        if (level.next == level.node->children.size()) {
            level.node->children.clear();  // all of it is in the list now
            stack.pop_back();
            continue;
        }
        if (progress != nullptr && progress->Cancelled()) throw SearchCancelled();
        WalkNode& child = *level.node->children[level.next++];
        path.resize(level.pathLength);
        AppendToPath(path, child.name);
        params.Path = path;
        AppendEntry(state, path);
        if (!child.scanned) scanner.Scan(child);
        Report(progress, path, child.scan);
        if (child.scan.Entered()) {
            AppendFiles(state, child, path, progress, audio);
            stack.push_back(Level{&child, 0, path.size()});
        }
    }
}

}  // namespace

int DefaultSearchThreads() {
    const unsigned cores = std::thread::hardware_concurrency();
    return cores >= 2 ? 2 : 1;
}

void SearchFolder(SearchParams& params, SearchState& state, const MountSet& skip,
                  SearchProgress* progress, int threads, bool rootMustBeListed,
                  const ListingCalls& calls) {
    const WalkTree root(new WalkNode);
    root->name = params.Path;
    const PseudoMountSkip pseudo(skip);
    TreeScanner scanner(params.Pattern, pseudo,
                        static_cast<std::int64_t>(state.FoundList.UpperBound()) - state.FoundCount,
                        calls, params.Audio ? &*params.Audio : nullptr);
    const int most = std::max(threads, 1);
    scanner.Run(*root, std::min(most, DefaultSearchThreads()), most, progress);
    state.FoundList.ReserveBytes(scanner.Bytes());
    AppendTree(params, state, scanner, *root, progress, rootMustBeListed);
    if (progress != nullptr) progress->EntriesFound(state.FoundCount);
}

void RunSearch(SearchParams& params, SearchState& state, SearchProgress* progress,
               bool rootMustBeListed) {
    SearchFolder(params, state, LoadPseudoMounts(), progress, kMostSearchThreads, rootMustBeListed);
}

}  // namespace doze
