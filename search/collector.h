// SPDX-License-Identifier: MIT
#pragma once
#include <string>
#include <vector>

#include "audio/audio_facts.h"
#include "search/dir_listing.h"
#include "search/entry_batch.h"
#include "search/result.h"

namespace doze {

// A file left out of the list, or one whose audio facts could not be read
// whole: its name and the cause, as a short phrase.
struct FileProblem {
    std::string name;
    std::string cause;
};

// What the collector finds beside the file entries.
struct FileDetails {
    std::vector<AudioFacts> audio;      // with audio reading: one per file entry
    std::vector<FileProblem> problems;  // in listing order
};

// Adds to `out` one file entry "name|length" for each entry of `listing` (the
// open listing of the folder `folder`) whose name matches `pattern` and that
// is a regular file, links followed. Folders, FIFOs, sockets and devices are
// never collected. A file whose length cannot be read because of the file
// itself (it vanished, a link that dangles, loops, names too long a target or
// leads where this user may not look) is left out and told in
// details.problems. With `audio`, each collected file is opened once and its
// audio facts go to details.audio (empty facts and a problem when it cannot be
// read). Any other failed length query (a device error) ends the folder's
// collection: it is the failure given, its path the file's, with the entries
// before it already in `out`.
Result<void> CollectFolderFiles(const std::string& folder, const std::string& pattern,
                                const FolderListing& listing, const AudioReadOptions* audio,
                                EntryBatch& out, FileDetails& details);

}  // namespace doze
