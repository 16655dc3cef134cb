#pragma once
#include <sys/types.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "search/listing_calls.h"

namespace doze {

// Identity of a folder on its file system, to notice a folder met again.
struct FolderId {
    dev_t dev = 0;
    ino_t ino = 0;
    bool operator==(const FolderId&) const = default;
};

// The way from a walk's root down to one of its folders: the folder's full
// path, and for each folder on the way (the root first, the folder itself
// last) where its name ends in `path` and the identity recorded for it.
struct FolderRoute {
    struct Step {
        std::size_t end;
        FolderId id;
    };
    std::string path;
    std::vector<Step> steps;

    // Starts the route at the root `root`, a path of any length.
    void Start(std::string_view root);
    // Goes down into the folder `name`, recorded as `id`.
    void Descend(std::string_view name, FolderId id);
    // The root's identity, once it is known.
    void SetRootId(FolderId id) { steps.front().id = id; }
};

// Opens the folder at the end of `route` for reading; its identity goes to
// `opened`. The root is opened following links, every folder below it not
// following a link in its place. A path too long for one call is opened piece
// by piece, each piece relative to the one before, whose descriptor is closed
// at once. When the route goes below the root, the folder opened and each
// folder at which the path is cut must be the ones recorded. Returns the
// descriptor, or -1 with errno set; `changed` then tells that a folder on the
// way is now a link, no folder, or another folder than recorded.
int OpenRoute(const ListingCalls& calls, const FolderRoute& route, FolderId& opened, bool& changed);

}  // namespace doze
