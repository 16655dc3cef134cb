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

// Reads the audio facts of the open regular file `fd` into `details`; a
// problem is added when they cannot be read whole.
void ReadFileFacts(int fd, std::string_view name, std::int64_t length,
                   const AudioReadOptions& options, FileDetails& details) {
    AudioRead read = ReadAudioFacts(fd, length, options);
    if (!read.problem.empty())
        details.problems.push_back({std::string(name), std::move(read.problem)});
    details.audio.push_back(std::move(read.facts));
}

// A file the listing shows as regular, opened once, links refused: collected
// with its length and audio facts from the one descriptor when it is still a
// regular file, passed over when it is something else now. False when it
// cannot be opened so: the caller then looks at it the long way.
bool CollectOpened(const FolderListing& listing, const ListedEntry& item,
                   const AudioReadOptions& options, std::string& entry, EntryBatch& out,
                   FileDetails& details) {
    const int fd = listing.OpenFile(item, false);
    if (fd < 0) return false;
    struct stat st {};
    const ListingCalls& calls = listing.Calls();
    const bool regular = calls.fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (regular) {
        entry.assign(item.name);
        entry.push_back('|');
        entry.append(std::to_string(st.st_size));
        out.Add(entry);
        ReadFileFacts(fd, item.name, st.st_size, options, details);
    }
    calls.close(fd);
    return true;
}

}  // namespace

void CollectFolderFiles(const std::string& folder, const std::string& pattern,
                        const FolderListing& listing, const AudioReadOptions* audio,
                        EntryBatch& out, FileDetails& details) {
    std::string entry;
    for (const ListedEntry& item : listing.Entries()) {
        if (item.type == EntryType::Folder || item.type == EntryType::Other) continue;
        if (!MatchesPattern(item.name, pattern)) continue;
        if (audio != nullptr && item.type == EntryType::File &&
            CollectOpened(listing, item, *audio, entry, out, details)) {
            continue;
        }
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
                                        std::string(item.name) +
                                        "\": " + SystemErrorText(length.error) + ".");
                }
                details.problems.push_back({std::string(item.name), SystemErrorText(length.error)});
                continue;
        }
        entry.assign(item.name);
        entry.push_back('|');
        entry.append(std::to_string(length.length));
        out.Add(entry);
        if (audio == nullptr) continue;
        const int fd = listing.OpenFile(item, true);
        if (fd < 0) {
            details.problems.push_back({std::string(item.name), "its audio facts cannot be read (" +
                                                                    SystemErrorText(errno) + ")"});
            details.audio.emplace_back();
            continue;
        }
        ReadFileFacts(fd, item.name, length.length, *audio, details);
        listing.Calls().close(fd);
    }
}

}  // namespace doze
