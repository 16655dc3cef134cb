#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "audio/audio_facts.h"
#include "search/entry_batch.h"

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

// The found-file list: entries numbered from 1, kept in one EntryBatch so that
// a million entries cost little more than their bytes.
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
    // Makes room for `bytes` bytes of entries in all, so that storing that
    // much never moves the list.
    void ReserveBytes(std::size_t bytes) { entries_.Reserve(0, bytes); }
    // Keeps entries 1..count and drops the room beyond them.
    void Trim(std::int32_t count);
    // Leaves the list with no dimension and no entries, its memory returned.
    void Erase();

    bool IsDimensioned() const { return slots_ > 0; }
    // Upper bound: the number of slots (after Trim, the number of entries).
    std::int32_t UpperBound() const { return slots_; }
    // Entries actually stored so far.
    std::int32_t Stored() const { return static_cast<std::int32_t>(entries_.size()); }
    // Entry `index` (1-based); an empty view for a slot not yet stored.
    std::string_view operator[](std::int32_t index) const;

  private:
    EntryBatch entries_;
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

// End search: false when nothing was found; otherwise trims the list to
// FoundCount entries and returns true.
bool EndSearch(SearchState& state);

// Release step: erases the list and the audio facts.
void ReleaseList(SearchState& state);

}  // namespace doze
