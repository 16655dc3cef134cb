#include "search/collector.h"

#include <cerrno>

#include "search/errors.h"
#include "search/path_text.h"
#include "search/pattern.h"

namespace doze {
namespace {

// True when a failed length query says something of the file, not of the device.
bool IsTheFilesFault(int err) {
    return err == ENOENT || err == ENOTDIR || err == ELOOP || err == ENAMETOOLONG || err == EACCES;
}

// The audio facts of `item`, a regular file of `length` bytes; a problem is
// added to `details` when they cannot be read whole.
AudioFacts ReadFileFacts(const FolderListing& listing, const ListedEntry& item, std::int64_t length,
                         const AudioReadOptions& options, FileDetails& details) {
    const ListingCalls& calls = listing.Calls();
    const int fd = listing.OpenFile(item);
    if (fd < 0) {
        details.problems.push_back(
            {item.name, "its audio facts cannot be read (" + SystemErrorText(errno) + ")"});
        return {};
    }
    struct stat st {};
    AudioRead read;
    if (calls.fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        read.problem = "it changed during the search";
    } else {
        read = ReadAudioFacts(fd, length, options);
    }
    calls.close(fd);
    if (!read.problem.empty()) details.problems.push_back({item.name, std::move(read.problem)});
    return std::move(read.facts);
}

}  // namespace

void CollectFolderFiles(const std::string& folder, const std::string& pattern,
                        const FolderListing& listing, const AudioReadOptions* audio,
                        EntryBatch& out, FileDetails& details) {
    std::string entry;
    for (const ListedEntry& item : listing.Entries()) {
        if (item.type == EntryType::Folder || item.type == EntryType::Other) continue;
        if (!MatchesPattern(item.name, pattern)) continue;
        const LengthQuery length = listing.QueryLength(item);
        switch (length.outcome) {
            case LengthQuery::Regular:
                break;
            case LengthQuery::NotRegular:
                continue;
            case LengthQuery::Vanished:
            case LengthQuery::Failed:
                if (!IsTheFilesFault(length.error)) {
                    throw SearchFailure("Cannot read the length of \"" + AddBackslash(folder) +
                                        item.name + "\": " + SystemErrorText(length.error) + ".");
                }
                details.problems.push_back({item.name, SystemErrorText(length.error)});
                continue;
        }
        entry.assign(item.name);
        entry.push_back('|');
        entry.append(std::to_string(length.length));
        out.Add(entry);
        if (audio != nullptr) {
            details.audio.push_back(ReadFileFacts(listing, item, length.length, *audio, details));
        }
    }
}

}  // namespace doze
