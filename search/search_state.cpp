#include "search/search_state.h"

#include <limits>

#include "search/errors.h"

namespace doze {

void EntryList::Dimension(std::int32_t slots) {
    Erase();
    slots_ = slots;
    // Room for the offsets up front; the bytes grow with what is found.
    ends_.reserve(static_cast<std::size_t>(slots));
}

void EntryList::Store(std::int32_t index, std::string_view entry) {
    if (index < 1 || index > slots_) {
        throw SearchFailure("The found-file list is full: entry " + std::to_string(index) +
                            " does not fit into its " + std::to_string(slots_) + " places.");
    }
    if (static_cast<std::size_t>(index) != ends_.size() + 1) {
        throw SearchFailure("Entry " + std::to_string(index) + " stored out of order.");
    }
    bytes_.append(entry);
    ends_.push_back(bytes_.size());
}

void EntryList::Trim(std::int32_t count) {
    if (count < Stored()) {
        ends_.resize(static_cast<std::size_t>(count));
        bytes_.resize(ends_.empty() ? 0 : ends_.back());
    }
    slots_ = count;
    ends_.shrink_to_fit();
    bytes_.shrink_to_fit();
}

void EntryList::Erase() {
    std::string().swap(bytes_);
    std::vector<std::size_t>().swap(ends_);
    slots_ = 0;
}

std::string_view EntryList::operator[](std::int32_t index) const {
    if (index < 1 || static_cast<std::size_t>(index) > ends_.size()) return {};
    const std::size_t end = ends_[static_cast<std::size_t>(index) - 1];
    const std::size_t begin = index == 1 ? 0 : ends_[static_cast<std::size_t>(index) - 2];
    return std::string_view(bytes_).substr(begin, end - begin);
}

void BeginRun(SearchState& state, SearchParams& params) {
    params.Pattern = "*.mp3";
    params.Path = state.SearchRoot;
    state.FoundList.Dimension(EntryList::kCapacity);
    state.FoundCount = 0;
}

void AppendEntry(SearchState& state, std::string_view entry) {
    if (state.FoundCount == std::numeric_limits<std::int32_t>::max()) {
        throw SearchFailure("The found-file count overflowed.");
    }
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
}

}  // namespace doze
