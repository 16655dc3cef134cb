// SPDX-License-Identifier: MIT
#include "audio/audio_stream.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

#include "audio/duration.h"
#include "audio/mpeg_frame.h"
#include "audio/vbr_header.h"

namespace doze::audio {

namespace {

constexpr std::size_t kSearchWindow = 4096;  // bytes searched for the first frame at a time

// Where the first frame of the stream is, past junk and a second ID3v2 tag, as far as the budget
// allows searching.
std::optional<std::int64_t> FindFirstFrame(FileReader& file, std::int64_t start, std::int64_t end,
                                           FrameHeader& header) {
    std::int64_t at = start;
    while (at < end && file.Spendable() > 0) {
        const auto length = static_cast<std::size_t>(std::min<std::int64_t>(
            {static_cast<std::int64_t>(kSearchWindow), end - at, file.Spendable()}));
        Bytes bytes = file.Held(at);  // what was read already may do
        bytes = bytes.first(std::min(bytes.size(), length));
        if (bytes.size() < length && !FindFrame(bytes, 0, false)) {
            bytes = file.Get(at, length, kSearchWindow);
        }
        if (bytes.size() < 4) return std::nullopt;
        if (at == start && bytes.size() >= 10 && std::memcmp(bytes.data(), "ID3", 3) == 0 &&
            ((bytes[6] | bytes[7] | bytes[8] | bytes[9]) & 0x80) == 0) {  // one tag more
            at += 10 + (bytes[6] << 21 | bytes[7] << 14 | bytes[8] << 7 | bytes[9]);
            start = at;
            continue;
        }
        const bool last = at + static_cast<std::int64_t>(bytes.size()) == end;
        std::optional<std::size_t> unconfirmed;
        if (const auto found = FindFrame(bytes, 0, last, nullptr, &unconfirmed)) {
            header = found->header;
            return at + static_cast<std::int64_t>(found->at);
        }
        if (last) return std::nullopt;
        // Read on from the first frame that could not be confirmed, or past what was searched.
        at += static_cast<std::int64_t>(
            std::max<std::size_t>(unconfirmed.value_or(bytes.size() - 3), 1));
    }
    return std::nullopt;
}

int RoundedKbps(double bits, double seconds) {
    return static_cast<int>(std::lround(bits / seconds / 1000));
}

// The facts of a stream whose frames were all counted (or whose header counts them).
void SetCounted(AudioFacts& facts, std::int64_t frames, std::int64_t bytes,
                const FrameHeader& first, const std::optional<VbrHeader>& vbr,
                std::string& problem) {
    std::int64_t samples = frames * first.samplesPerFrame;
    const double seconds = static_cast<double>(samples) / first.sampleRate;
    facts.bitrateKbps = RoundedKbps(static_cast<double>(bytes) * 8, seconds);
    if (vbr && vbr->encoderDelay) {
        const std::int64_t trimmed = *vbr->encoderDelay + *vbr->padding;
        if (trimmed < samples) {
            samples -= trimmed;
        } else if (problem.empty()) {
            problem = "its LAME tag's delay and padding exceed its length";
        }
    }
    facts.durationMs = SamplesToMs(samples, first.sampleRate);
    facts.durationExact = true;
}

// Checks a header's frame count against the stream's bytes; returns it when it is sound.
std::optional<std::int64_t> SoundCount(const VbrHeader& vbr, const FrameHeader& frame,
                                       std::int64_t streamBytes, std::string& problem) {
    if (!vbr.frames) return std::nullopt;
    const char* name = vbr.kind == VbrHeader::Vbri ? "VBRI" : "Xing";
    const std::int64_t frames = *vbr.frames;
    if (frames == 0) {
        problem = std::string("its ") + name + " header counts no frames";
    } else if (vbr.bytes && *vbr.bytes > streamBytes) {
        problem = "its audio is cut short";
    } else if (frames > streamBytes / SmallestFrameSize(frame) + 1) {
        problem = std::string("its ") + name + " header counts more frames than the file holds";
    } else {
        return frames;
    }
    return std::nullopt;
}

}  // namespace

std::string ReadStream(FileReader& file, std::int64_t start, std::int64_t end, bool exactDurations,
                       AudioFacts& facts) {
    std::string problem;
    FrameHeader first{};
    const auto firstAt = FindFirstFrame(file, start, end, first);
    if (!firstAt) return "no MPEG audio frame found";
    facts.sampleRate = first.sampleRate;
    facts.channels = first.channels;
    Bytes frame = file.Get(
        *firstAt, static_cast<std::size_t>(std::min<std::int64_t>(first.size, end - *firstAt)));
    const auto vbr = ReadVbrHeader(frame, first);
    if (vbr) facts.vbr = vbr->kind != VbrHeader::Info;
    std::int64_t audioAt = *firstAt;  // the first frame of audio
    if (vbr) audioAt += first.size;
    const auto frames = vbr ? SoundCount(*vbr, first, end - *firstAt, problem) : std::nullopt;
    if (frames) {
        const std::int64_t stated =
            std::int64_t{vbr->bytes.value_or(0)} - first.size;  // 0 < stated checked
        SetCounted(facts, *frames, stated > 0 ? stated : end - audioAt, first, vbr, problem);
        return problem;
    }
    // Without a sound count, the stream's own frames tell: all of them, or a few.
    if (end - audioAt < 4) return problem.empty() ? "no MPEG audio frame found" : problem;
    const auto leadingLength =
        std::min<std::int64_t>(2 * LargestFrameSize(first) + 4, end - audioAt);
    const Bytes leading = file.Get(audioAt, static_cast<std::size_t>(leadingLength));
    const auto audio = leading.size() >= 4 ? ParseFrameHeader(leading.data()) : std::nullopt;
    if (!audio || !SameStream(*audio, first)) {
        return problem.empty() ? "no MPEG audio frame found" : problem;
    }
    if (exactDurations) {
        const FrameCount count = CountFrames(file, audioAt, end, *audio);
        if (count.frames == 0) return problem.empty() ? "no MPEG audio frame found" : problem;
        if (count.cutShort && problem.empty()) problem = "its last audio frame is cut short";
        SetCounted(facts, count.frames, count.bytes, *audio, vbr, problem);
        facts.vbr = count.vbr || (vbr && vbr->kind != VbrHeader::Info);
        return problem;
    }
    const Estimate estimate = EstimateLength(file, audioAt, end, leading, *audio);
    facts.durationMs = std::llround(estimate.seconds * 1000);
    facts.durationExact = false;
    facts.bitrateKbps = RoundedKbps(static_cast<double>(end - audioAt) * 8, estimate.seconds);
    facts.vbr = estimate.vbr || facts.vbr.value_or(false);
    return problem;
}

}  // namespace doze::audio
