// SPDX-License-Identifier: MIT
#include "search/collector.h"

#include <fcntl.h>

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
    const Result<UniqueFd> file = listing.OpenFile(item, false);
    if (!file) return false;
    struct stat st {};  // a length query on the file opened: fstat gives no length
    if (listing.Calls().fstatat(file->Get(), "", &st, AT_EMPTY_PATH) == 0 && S_ISREG(st.st_mode)) {
        entry.assign(item.name);
        entry.push_back('|');
        entry.append(std::to_string(st.st_size));
        out.Add(entry);
        ReadFileFacts(file->Get(), item.name, st.st_size, options, details);
    }
    return true;
}

}  // namespace

Result<void> CollectFolderFiles(const std::string& folder, const std::string& pattern,
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
        const Result<std::optional<std::int64_t>> length = listing.QueryLength(item);
        if (!length) {
            const int err = length.Error().code;
            if (!IsTheFilesFault(err)) {
                return SystemError{err, AddBackslash(folder).append(item.name),
                                   "read the length of"};
            }
            details.problems.push_back({std::string(item.name), SystemErrorText(err)});
            continue;
        }
        if (!*length) continue;  // no regular file
        entry.assign(item.name);
        entry.push_back('|');
        entry.append(std::to_string(**length));
        out.Add(entry);
        if (audio == nullptr) continue;
        const Result<UniqueFd> file = listing.OpenFile(item, true);
        if (!file) {
            details.problems.push_back(
                {std::string(item.name),
                 "its audio facts cannot be read (" + SystemErrorText(file.Error().code) + ")"});
            details.audio.emplace_back();
            continue;
        }
        ReadFileFacts(file->Get(), item.name, **length, *audio, details);
    }
    return {};
}

}  // namespace doze
