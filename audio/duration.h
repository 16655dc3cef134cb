// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>

#include "audio/file_reader.h"
#include "audio/mpeg_frame.h"

namespace doze::audio {

// `samples` at `sampleRate` in milliseconds, rounded to the nearest.
std::int64_t SamplesToMs(std::int64_t samples, int sampleRate);

// What counting the frames of a stream found.
struct FrameCount {
    std::int64_t frames = 0;
    std::int64_t bytes = 0;  // of the frames counted
    bool vbr = false;        // not every frame has the first one's bitrate
    bool cutShort = false;   // the last frame runs past the end
};

// Counts the frames of the stream like `first` from `start`, where a frame begins, to `end`,
// reading the whole stretch in large reads outside the budget; junk between frames is passed
// over.
FrameCount CountFrames(FileReader& file, std::int64_t start, std::int64_t end,
                       const FrameHeader& first);

// Frames read at places of a stream: how many, their bytes, their lowest and highest bitrates.
struct FrameSample {
    std::int64_t frames = 0, bytes = 0;
    int lowestKbps = 0, highestKbps = 0;

    void Add(const FrameSample& other);
    bool AllAt(int kbps) const { return lowestKbps == kbps && highestKbps == kbps; }
};

// Adds to `sample` the frames like `first` that follow one another from `at` in `bytes`, up to
// `most` frames: each whose header is inside, whether its end is or not, so that large frames
// weigh as much as they should.
void AddFrameRun(Bytes bytes, std::size_t at, const FrameHeader& first, int most,
                 FrameSample& sample);

// An estimate of the length of a stream without a frame count.
struct Estimate {
    double seconds;
    bool vbr;
};

// Estimates the length of the stream from `start`, where the frame `first` begins, to `end`;
// `leading` are bytes read from `start`. When the first frames and frames sampled at evenly spaced
// places all have one bitrate, the stream is CBR and its bytes tell its length; otherwise the
// samples' bytes per frame do, and a run of frames of one bitrate at the start (silence, most
// often), which samples taken by bytes seldom land in, is measured on its own. Reads within the
// budget.
Estimate EstimateLength(FileReader& file, std::int64_t start, std::int64_t end, Bytes leading,
                        const FrameHeader& first);

}  // namespace doze::audio
