// SPDX-License-Identifier: MIT
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "audio/audio_facts.h"
#include "search/entry_batch.h"
#include "search/raw_buffer.h"

namespace doze {

// What one search is asked to do. Path is overwritten by the walker with each
// subfolder it enters and holds nothing useful afterwards.
struct SearchParams {
    std::string Path;
    std::string Pattern;
    // How to read each collected file's audio facts into FoundAudio; nullopt:
    // none are read.
    std::optional<AudioReadOptions> Audio;
};

// The found-file list: entries numbered from 1. Each entry is stored once,
// so that a million entries cost little more than their bytes: a large batch
// of file entries is taken over whole, other entries are copied into blocks
// that never move, an entry that begins with the one before it shares its
// bytes; a table of slots, sized once, points at them.
//
// A file entry is a file's name, "|" and its length in decimal digits; a
// folder entry is a subfolder's full path (it holds the separator, no "|" is
// looked for in it).
class EntryList {
  public:
    static constexpr std::int32_t kCapacity = 1'000'000;

    // Makes the list empty with room for `slots` entries (1..slots).
    void Dimension(std::int32_t slots);
    // Stores `entry` at index `index`; throws SearchFailure when the index is
    // outside 1..slots. Indices must be stored in rising order, without gaps.
    void Store(std::int32_t index, std::string_view entry);
    // Stores the entries of `batch` at indices first, first + 1..., taking
    // its bytes over without copying them when they fill at least
    // kTakenOverFrom bytes, and leaves it empty; throws as Store does when
    // they do not all fit.
    void Adopt(std::int32_t first, EntryBatch& batch);
    static constexpr std::size_t kTakenOverFrom = 1 << 16;
    // Keeps entries 1..count and drops the room beyond them.
    void Trim(std::int32_t count);
    // Leaves the list with no dimension and no entries, its memory returned.
    void Erase();

    bool IsDimensioned() const { return slots_ > 0; }
    // Upper bound: the number of slots (after Trim, the number of entries).
    std::int32_t UpperBound() const { return slots_; }
    // Entries actually stored so far.
    std::int32_t Stored() const { return static_cast<std::int32_t>(lengths_.size()); }
    // Entry `index` (1-based); an empty view for a slot not yet stored.
    std::string_view operator[](std::int32_t index) const;

  private:
    void CheckRoom(std::int32_t first, std::size_t count) const;
    // Copies `bytes` into the block copies go to; where they are now.
    const char* CopyIn(std::string_view bytes);
    void AddSlot(const char* start, std::size_t length);

    RawBuffer<const char*> starts_;        // of each stored entry
    RawBuffer<std::uint32_t> lengths_;     // of each stored entry
    std::vector<RawBuffer<char>> blocks_;  // the bytes, taken over or copied
    std::size_t copyBlock_ = SIZE_MAX;     // the block copied entries go to
    std::size_t copied_ = 0;               // bytes of all copied entries
    std::int32_t slots_ = 0;
};

// True for a folder entry of the found-file list (it holds the separator).
bool IsFolderEntry(std::string_view entry);

// A file entry split at its last "|": the name before it, the size text after.
// An entry without "|" is all name with an empty size text.
struct FileEntryParts {
    std::string_view name;
    std::string_view sizeText;
};
FileEntryParts SplitFileEntry(std::string_view entry);

// The state one list-generation run shares between run, search and writers.
struct SearchState {
    std::string SearchRoot;
    EntryList FoundList;
    std::int32_t FoundCount = 0;
    // With SearchParams::Audio: the audio facts of each file entry, in list order.
    std::vector<AudioFacts> FoundAudio;
};

// Begin run: Pattern "*.mp3", Path = SearchRoot, no audio facts, the list
// dimensioned to its full capacity and the count set to 0.
void BeginRun(SearchState& state, SearchParams& params);

// Append step: raises FoundCount first, then stores the entry at that index;
// throws SearchFailure("...list is full...") past the list's capacity (which
// is far below the count's range).
void AppendEntry(SearchState& state, std::string_view entry);

// The append step for each entry of `batch` in turn, its bytes taken over:
// what fits is stored, and the first entry that does not fails as above.
void AppendEntries(SearchState& state, EntryBatch& batch);

// End search: false when nothing was found; otherwise trims the list to
// FoundCount entries and returns true.
bool EndSearch(SearchState& state);

// Release step: erases the list and the audio facts.
void ReleaseList(SearchState& state);

}  // namespace doze
