#include "audio/duration.h"

#include <algorithm>

namespace doze::audio {

std::int64_t SamplesToMs(std::int64_t samples, int sampleRate) {
    return (samples * 1000 + sampleRate / 2) / sampleRate;
}

FrameCount CountFrames(FileReader& file, std::int64_t start, std::int64_t end,
                       const FrameHeader& first) {
    constexpr std::int64_t kChunk = 256 * 1024;
    FrameCount count;
    if (end - start < 4) return count;
    std::vector<std::uint8_t> chunk(static_cast<std::size_t>(std::min(kChunk, end - start)));
    std::int64_t chunkAt = start;
    std::int64_t held = 0;
    std::int64_t at = start;
    while (at + 4 <= end) {
        if (at < chunkAt || at + 4 > chunkAt + held) {
            held = std::min(kChunk, end - at);
            chunkAt = at;
            if (!file.ReadFree(at, std::span(chunk).first(static_cast<std::size_t>(held)))) break;
        }
        const Bytes rest = Bytes(chunk).subspan(static_cast<std::size_t>(at - chunkAt),
                                                static_cast<std::size_t>(chunkAt + held - at));
        const auto header = ParseFrameHeader(rest.data());
        if (header && SameStream(*header, first)) {
            if (at + header->size > end) {
                count.cutShort = true;
                break;
            }
            ++count.frames;
            count.bytes += header->size;
            count.vbr = count.vbr || header->bitrateKbps != first.bitrateKbps;
            at += header->size;
            continue;
        }
        const bool lastChunk = chunkAt + held == end;
        if (const auto found = FindFrame(rest, 1, lastChunk, &first)) {
            at += static_cast<std::int64_t>(found->at);
        } else if (lastChunk) {
            break;
        } else {  // go on where a frame not yet confirmed may begin
            at = std::max(at + 1, chunkAt + held - 2 * LargestFrameSize(first) - 4);
            held = 0;  // read again from there
        }
    }
    return count;
}

void AddFrameRun(Bytes bytes, std::size_t at, const FrameHeader& first, int most,
                 FrameSample& sample) {
    for (int added = 0; added < most && at + 4 <= bytes.size(); ++added) {
        const auto header = ParseFrameHeader(bytes.data() + at);
        if (!header || !SameStream(*header, first)) return;
        at += static_cast<std::size_t>(header->size);
        const int kbps = header->bitrateKbps;
        sample.lowestKbps = sample.frames == 0 ? kbps : std::min(sample.lowestKbps, kbps);
        sample.highestKbps = std::max(sample.highestKbps, kbps);
        ++sample.frames;
        sample.bytes += header->size;
    }
}

FrameSample SampleFrames(FileReader& file, std::int64_t start, std::int64_t end,
                         const FrameHeader& first, int places) {
    // Each read holds at least one frame and the header after it, and they share the budget.
    const std::int64_t window = std::max<std::int64_t>(2 * LargestFrameSize(first) + 4,
                                                       file.Spendable() / std::max(places, 1));
    places = static_cast<int>(std::min<std::int64_t>(places, file.Spendable() / window));
    FrameSample sample;
    for (int place = 0; place < places; ++place) {
        const std::int64_t at = start + (end - start) / (2 * places) * (2 * place + 1);
        const std::int64_t length = std::min(window, end - at);
        const Bytes bytes = file.Get(at, static_cast<std::size_t>(length));
        if (bytes.empty()) break;
        if (const auto found = FindFrame(bytes, 0, at + length == end, &first)) {
            AddFrameRun(bytes, found->at, first, static_cast<int>(window), sample);
        }
    }
    return sample;
}

}  // namespace doze::audio
