// SPDX-License-Identifier: MIT
#include "audio/duration.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace doze::audio {

std::int64_t SamplesToMs(std::int64_t samples, int sampleRate) {
    return (samples * 1000 + sampleRate / 2) / sampleRate;
}

FrameCount CountFrames(FileReader& file, std::int64_t start, std::int64_t end,
                       const FrameHeader& first) {
    constexpr std::int64_t kChunk = std::int64_t{256} * 1024;
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
            at = std::max(at + 1, chunkAt + held - 2 * std::int64_t{LargestFrameSize(first)} - 4);
            held = 0;  // read again from there
        }
    }
    return count;
}

void FrameSample::Add(const FrameSample& other) {
    if (other.frames == 0) return;
    lowestKbps = frames == 0 ? other.lowestKbps : std::min(lowestKbps, other.lowestKbps);
    highestKbps = std::max(highestKbps, other.highestKbps);
    frames += other.frames;
    bytes += other.bytes;
}

void AddFrameRun(Bytes bytes, std::size_t at, const FrameHeader& first, int most,
                 FrameSample& sample) {
    for (int added = 0; added < most && at + 4 <= bytes.size(); ++added) {
        const auto header = ParseFrameHeader(bytes.data() + at);
        if (!header || !SameStream(*header, first)) return;
        at += static_cast<std::size_t>(header->size);
        sample.Add({1, header->size, header->bitrateKbps, header->bitrateKbps});
    }
}

namespace {

constexpr int kLeadingFrames = 8;              // frames at the start that must agree for CBR
constexpr int kSamplePlaces = 8;               // places where frames are sampled
constexpr int kRunProbes = 12;                 // reads that look for the end of a run at the start
constexpr std::int64_t kRunProbeBytes = 4096;  // the most they may read

// Frames sampled at one place of a stream.
struct PlacedSample {
    std::int64_t at;
    FrameSample frames;
};

// The frames like `first` read at up to `places` evenly spaced places between `start` and `end`,
// as many as the budget allows: at each, the run of frames that the read holds. Their bytes per
// frame are the stream's own, on average, whatever its bitrate does.
std::vector<PlacedSample> SampleFrames(FileReader& file, std::int64_t start, std::int64_t end,
                                       const FrameHeader& first, int places) {
    // Each read holds at least one frame and the header after it, and they share the budget.
    const std::int64_t window =
        std::max<std::int64_t>(2 * LargestFrameSize(first) + 4, file.Spendable() / places);
    places = static_cast<int>(std::min<std::int64_t>(places, file.Spendable() / window));
    std::vector<PlacedSample> samples;
    for (int place = 0; place < places; ++place) {
        const std::int64_t at =
            start + (end - start) / (2 * std::int64_t{places}) * (2 * std::int64_t{place} + 1);
        const std::int64_t length = std::min(window, end - at);
        const Bytes bytes = file.Get(at, static_cast<std::size_t>(length));
        if (bytes.empty()) break;
        if (const auto found = FindFrame(bytes, 0, at + length == end, &first)) {
            samples.push_back({at, {}});
            AddFrameRun(bytes, found->at, first, static_cast<int>(window), samples.back().frames);
        }
    }
    return samples;
}

// Whether the first two frames found at `at` are of the bitrate of `run`.
bool RunGoesOnAt(FileReader& file, std::int64_t at, std::int64_t end, const FrameHeader& run) {
    const std::int64_t length = std::min<std::int64_t>(3 * (run.size + 1) + 4, end - at);
    const Bytes bytes = file.Get(at, static_cast<std::size_t>(length));
    FrameSample sample;
    if (const auto found = FindFrame(bytes, 0, at + length == end, &run)) {
        AddFrameRun(bytes, found->at, run, 2, sample);
    }
    return sample.frames == 2 && sample.AllAt(run.bitrateKbps);
}

// Where the run of frames of the bitrate of `run` that goes on at `start` ends, to within a few
// frames: probes ever farther, then halves the gap, with `probes` small reads at the most.
std::int64_t RunEnd(FileReader& file, std::int64_t start, std::int64_t end, const FrameHeader& run,
                    int probes) {
    std::int64_t goesOn = start, stopped = end;
    for (std::int64_t step = 4 * std::int64_t{run.size}; probes > 0 && goesOn + step < stopped;
         step *= 2) {
        --probes;
        if (!RunGoesOnAt(file, goesOn + step, end, run)) stopped = goesOn + step;
        if (stopped == end) goesOn += step;
    }
    while (probes-- > 0 && stopped - goesOn > 4 * std::int64_t{run.size}) {
        const std::int64_t middle = goesOn + (stopped - goesOn) / 2;
        (RunGoesOnAt(file, middle, end, run) ? goesOn : stopped) = middle;
    }
    return goesOn + (stopped - goesOn) / 2;
}

}  // namespace

Estimate EstimateLength(FileReader& file, std::int64_t start, std::int64_t end, Bytes leading,
                        const FrameHeader& first) {
    FrameSample head, steady;  // the first frames; those after the first, which may stand apart
    AddFrameRun(leading, 0, first, kLeadingFrames, head);
    const auto firstSize = static_cast<std::size_t>(first.size);
    std::optional<FrameHeader> run;  // a frame of a run of one bitrate at the start
    if (leading.size() >= firstSize + 4) {
        AddFrameRun(leading, firstSize, first, kLeadingFrames - 1, steady);
        if (steady.frames >= 4 && steady.AllAt(steady.lowestKbps)) {
            run = ParseFrameHeader(leading.data() + firstSize);
        }
    }
    const std::int64_t probeBytes = run ? 3 * (run->size + 1) + 4 : 1;
    const int probes =
        run ? static_cast<int>(std::min<std::int64_t>(kRunProbes, kRunProbeBytes / probeBytes)) : 0;
    file.HoldBack(probes * probeBytes);
    const std::vector<PlacedSample> samples = SampleFrames(file, start, end, first, kSamplePlaces);
    file.HoldBack(0);
    FrameSample sampled;
    for (const PlacedSample& place : samples) sampled.Add(place.frames);
    const int kbps = first.bitrateKbps;
    const auto bytes = static_cast<double>(end - start);
    if (head.AllAt(kbps) && (sampled.frames == 0 || sampled.AllAt(kbps))) {
        return {bytes * 8 / (kbps * 1000.0), false};
    }
    std::int64_t runEnd = start;
    if (run && sampled.frames > 0 && !sampled.AllAt(run->bitrateKbps)) {
        runEnd = RunEnd(file, start + first.size, end, *run, probes);
    }
    FrameSample rest;  // the samples past the run
    for (const PlacedSample& place : samples) {
        if (place.at >= runEnd) rest.Add(place.frames);
    }
    if (rest.frames == 0) rest = sampled.frames > 0 ? sampled : head;
    const double runSeconds =
        run ? static_cast<double>(runEnd - start) * 8 / (run->bitrateKbps * 1000.0) : 0;
    const double restFrames = static_cast<double>(end - runEnd) * static_cast<double>(rest.frames) /
                              static_cast<double>(rest.bytes);
    return {runSeconds + restFrames * first.samplesPerFrame / first.sampleRate, true};
}

}  // namespace doze::audio
