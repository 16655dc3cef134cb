// SPDX-License-Identifier: MIT
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
    FileDetails& details = node.scan.fileDetails;
    if (progress != nullptr) {
        std::string filePath;
        for (const FileProblem& problem : details.problems) {
            filePath = path;
            AppendToPath(filePath, problem.name);
            progress->FileNotRead(filePath, problem.cause);
        }
    }
    const std::size_t files = node.scan.fileEntries.size();
    AppendEntries(state, node.scan.fileEntries);
    if (audio) {
        details.audio.resize(files);
        for (AudioFacts& facts : details.audio) state.FoundAudio.push_back(std::move(facts));
    }
    details = FileDetails{};
    if (const std::optional<SystemError>& failure = node.scan.failure) {
        throw SearchFailure("Cannot read the length of \"" + failure->path +
                            "\": " + SystemErrorText(failure->code) + ".");
    }
}

// Lays the tree down into the found-file list in walk order while the
// scanner lists it, building each folder's path as its entry is made, and
// frees each folder's children once all below them is in the list.
SearchEnd AppendTree(SearchParams& params, SearchState& state, TreeScanner& scanner, WalkNode& root,
                     SearchProgress* progress, bool rootMustBeListed) {
    if (!scanner.Await(root)) return SearchEnd::Cancelled;
    if (rootMustBeListed && root.scan.outcome == ListingOutcome::NotListed) {
        throw SearchFailure("Cannot list \"" + root.name + "\": " + NotListedCause(root.scan) +
                            ".");
    }
    Report(progress, root.name, root.scan);
    if (!root.scan.Entered()) return SearchEnd::Complete;
    const bool audio = params.Audio.has_value();
    AppendFiles(state, root, root.name, progress, audio);
    const std::int64_t most = static_cast<std::int64_t>(state.FoundList.UpperBound()) + 1;
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
            scanner.Release(*level.node);  // all of it is in the list now
            stack.pop_back();
            continue;
        }
        WalkNode& child = *level.node->children[level.next++];
        if (child.passed) continue;
        path.resize(level.pathLength);
        AppendToPath(path, child.name);
        params.Path = path;
        AppendEntry(state, path);
        if (!scanner.Await(child)) return SearchEnd::Cancelled;
        Report(progress, path, child.scan);
        if (progress != nullptr) {
            progress->EntriesFound(static_cast<std::int32_t>(std::min(scanner.Found(), most)));
        }
        if (child.scan.Entered()) {
            AppendFiles(state, child, path, progress, audio);
            stack.push_back(Level{&child, 0, path.size()});
        }
    }
    return SearchEnd::Complete;
}

}  // namespace

int DefaultSearchThreads() {
    const unsigned cores = std::thread::hardware_concurrency();
    return cores >= 2 ? 2 : 1;
}

SearchEnd SearchFolder(SearchParams& params, SearchState& state, const MountSet& skip,
                       SearchProgress* progress, int threads, bool rootMustBeListed,
                       const ListingCalls& calls) {
    const WalkTree root(new WalkNode);
    root->name = params.Path;
    const PseudoMountSkip pseudo(skip, calls);
    // Made after the tree and so ended before it is freed.
    TreeScanner scanner(params.Pattern, pseudo,
                        static_cast<std::int64_t>(state.FoundList.UpperBound()) - state.FoundCount,
                        calls, params.Audio ? &*params.Audio : nullptr, progress);
    scanner.Start(DefaultSearchThreads(), std::max(threads, 1));
    const SearchEnd end = AppendTree(params, state, scanner, *root, progress, rootMustBeListed);
    scanner.Stop();
    if (progress != nullptr && end == SearchEnd::Complete) {
        progress->EntriesFound(state.FoundCount);
    }
    return end;
}

SearchEnd RunSearch(SearchParams& params, SearchState& state, SearchProgress* progress,
                    bool rootMustBeListed) {
    return SearchFolder(params, state, LoadPseudoMounts(), progress, kMostSearchThreads,
                        rootMustBeListed);
}

}  // namespace doze
