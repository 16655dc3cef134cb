#include "search/search_state.h"

#include "search/errors.h"
#include "search/path_text.h"

namespace doze {

void EntryList::Dimension(std::int32_t slots) {
    Erase();
    slots_ = slots;
    // Room for the offsets up front; the bytes grow with what is found.
    entries_.Reserve(static_cast<std::size_t>(slots), 0);
}

void EntryList::Store(std::int32_t index, std::string_view entry) {
    if (index < 1 || index > slots_) {
        throw SearchFailure("The found-file list is full: entry " + std::to_string(index) +
                            " does not fit into its " + std::to_string(slots_) + " places.");
    }
    if (static_cast<std::size_t>(index) != entries_.size() + 1) {
        throw SearchFailure("Entry " + std::to_string(index) + " stored out of order.");
    }
    entries_.Add(entry);
}

void EntryList::Trim(std::int32_t count) {
    entries_.Truncate(static_cast<std::size_t>(count));
    slots_ = count;
}

void EntryList::Erase() {
    entries_.Release();
    slots_ = 0;
}

std::string_view EntryList::operator[](std::int32_t index) const {
    if (index < 1 || static_cast<std::size_t>(index) > entries_.size()) return {};
    return entries_[static_cast<std::size_t>(index) - 1];
}

bool IsFolderEntry(std::string_view entry) {
    return entry.find(kSeparator) != std::string_view::npos;
}

FileEntryParts SplitFileEntry(std::string_view entry) {
    const std::size_t bar = entry.rfind('|');
    if (bar == std::string_view::npos) return {entry, {}};
    return {entry.substr(0, bar), entry.substr(bar + 1)};
}

void BeginRun(SearchState& state, SearchParams& params) {
    params.Pattern = "*.mp3";
    params.Path = state.SearchRoot;
    params.Audio.reset();
    state.FoundList.Dimension(EntryList::kCapacity);
    std::vector<AudioFacts>().swap(state.FoundAudio);
    state.FoundCount = 0;
}

void AppendEntry(SearchState& state, std::string_view entry) {
    ++state.FoundCount;
    state.FoundList.Store(state.FoundCount, entry);
}

bool EndSearch(SearchState& state) {
    if (state.FoundCount == 0) return false;
    state.FoundList.Trim(state.FoundCount);
    return true;
}

void ReleaseList(SearchState& state) {
    state.FoundList.Erase();
    std::vector<AudioFacts>().swap(state.FoundAudio);
}

}  // namespace doze
