// SPDX-License-Identifier: MIT
#include "search/search_state.h"

#include <algorithm>
#include <cstdint>

#include "search/errors.h"
#include "search/path_text.h"

namespace doze {

namespace {

// Bytes of a block that copied entries go to: a quarter of what was copied
// before, between 64 KiB and 16 MiB, or the entry when it is larger.
std::size_t CopyBlockBytes(std::size_t copied, std::size_t entry) {
    return std::max(entry, std::clamp<std::size_t>(copied / 4, 1 << 16, 1 << 24));
}

}  // namespace

void EntryList::Dimension(std::int32_t slots) {
    Erase();
    slots_ = slots;
    // Room for the slots up front; the bytes come with what is found.
    starts_.Reserve(static_cast<std::size_t>(slots));
    lengths_.Reserve(static_cast<std::size_t>(slots));
}

void EntryList::CheckRoom(std::int32_t first, std::size_t count) const {
    if (first < 1 || static_cast<std::int64_t>(first) + static_cast<std::int64_t>(count) - 1 >
                         static_cast<std::int64_t>(slots_)) {
        const std::int64_t index = first < 1 ? first : std::max<std::int64_t>(first, slots_ + 1);
        throw SearchFailure("The found-file list is full: entry " + std::to_string(index) +
                            " does not fit into its " + std::to_string(slots_) + " places.");
    }
    if (first != Stored() + 1) {
        throw SearchFailure("Entry " + std::to_string(first) + " stored out of order.");
    }
}

void EntryList::AddSlot(const char* start, std::size_t length) {
    if (length > UINT32_MAX) throw SearchFailure("An entry of the found-file list is too long.");
    starts_.PushBack(start);
    lengths_.PushBack(static_cast<std::uint32_t>(length));
}

const char* EntryList::CopyIn(std::string_view bytes) {
    if (copyBlock_ == SIZE_MAX ||
        blocks_[copyBlock_].capacity() - blocks_[copyBlock_].size() < bytes.size()) {
        RawBuffer<char> block;
        block.Reserve(CopyBlockBytes(copied_, bytes.size()));
        blocks_.push_back(std::move(block));
        copyBlock_ = blocks_.size() - 1;
    }
    // Within its room a block never moves: the slots may point into it.
    RawBuffer<char>& block = blocks_[copyBlock_];
    const std::size_t at = block.size();
    block.Append(bytes.data(), bytes.size());
    copied_ += bytes.size();
    return block.data() + at;
}

void EntryList::Store(std::int32_t index, std::string_view entry) {
    CheckRoom(index, 1);
    // An entry that goes on from the last bytes copied (a folder's path after
    // its parent's, nothing between them) shares them: a chain of folders
    // costs its deepest path, not every path down to it.
    if (copyBlock_ != SIZE_MAX && index > 1) {
        const std::string_view last = (*this)[index - 1];
        RawBuffer<char>& block = blocks_[copyBlock_];
        const std::size_t more = entry.size() - std::min(entry.size(), last.size());
        if (more > 0 && last.data() + last.size() == block.data() + block.size() &&
            block.capacity() - block.size() >= more && entry.substr(0, last.size()) == last) {
            block.Append(entry.data() + last.size(), more);
            copied_ += more;
            AddSlot(last.data(), entry.size());
            return;
        }
    }
    AddSlot(CopyIn(entry), entry.size());
}

void EntryList::Adopt(std::int32_t first, EntryBatch& batch) {
    const std::size_t count = batch.size();
    if (count == 0) return;
    CheckRoom(first, count);
    const char* const start = batch[0].data();
    const char* at = start;
    if (batch.Bytes() < kTakenOverFrom) {
        // A small batch is copied: it would keep the memory around it from
        // being used again.
        at = CopyIn({start, batch.Bytes()});
    } else if (blocks_.size() == blocks_.capacity()) {
        // Room for its block first: once the slots point into it, nothing may fail.
        blocks_.reserve(std::max<std::size_t>(16, 2 * blocks_.size()));
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view entry = batch[i];
        AddSlot(at + (entry.data() - start), entry.size());
    }
    if (at == start) {
        blocks_.push_back(batch.TakeBytes());
    } else {
        batch.Release();
    }
}

void EntryList::Trim(std::int32_t count) {
    starts_.Fit(static_cast<std::size_t>(count));
    lengths_.Fit(static_cast<std::size_t>(count));
    slots_ = count;
}

void EntryList::Erase() {
    starts_.Clear();
    lengths_.Clear();
    std::vector<RawBuffer<char>>().swap(blocks_);
    copyBlock_ = SIZE_MAX;
    copied_ = 0;
    slots_ = 0;
}

std::string_view EntryList::operator[](std::int32_t index) const {
    if (index < 1 || index > Stored()) return {};
    const auto i = static_cast<std::size_t>(index) - 1;
    return {starts_[i], lengths_[i]};
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

void AppendEntries(SearchState& state, EntryBatch& batch) {
    const std::int64_t room =
        std::max<std::int64_t>(0, state.FoundList.UpperBound() - state.FoundCount);
    const bool full = static_cast<std::int64_t>(batch.size()) > room;
    if (full) batch.Truncate(static_cast<std::size_t>(room));
    const auto count = static_cast<std::int32_t>(batch.size());
    state.FoundList.Adopt(state.FoundCount + 1, batch);
    state.FoundCount += count;
    // The first entry that does not fit raises the count and fails.
    if (full) AppendEntry(state, {});
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
