// SPDX-License-Identifier: MIT
#pragma once
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace doze {

// What an MP3 file tells of itself. Every field is empty where it is unknown.
struct AudioFacts {
    std::optional<std::int64_t> durationMs;  // rounded to the nearest ms
    bool durationExact =
        false;  // true: from a frame count (Xing/Info, VBRI, or counted); false: estimate
    std::optional<int> bitrateKbps;  // the average
    std::optional<bool> vbr;
    std::optional<int> sampleRate;                           // Hz
    std::optional<int> channels;                             // 1 or 2
    std::optional<std::string> artist, album, title, genre;  // valid UTF-8, always
    std::optional<int> track, year;
};

struct AudioReadOptions {
    bool exactDurations =
        false;  // count every frame of files without a frame count (reads the whole file)
    // The read the reader makes; tests and benchmarks count or fail it. nullptr: ::pread.
    ssize_t (*pread)(int fd, void* buffer, std::size_t size, off_t offset) = nullptr;
};

struct AudioRead {
    AudioFacts facts;
    std::string problem;  // empty, or a short phrase naming what could not be read and why, e.g.
                          // "its ID3v2 tag is cut short", "no MPEG audio frame found"; fit for
                          // "dozedozovo-list: warning: PATH: PROBLEM"
};

// The most a file's tags and headers cost in reading, whatever their size, when durations need
// not be counted: this much at the start and inside, plus the 128-byte ID3v1 tail.
inline constexpr std::int64_t kAudioReadBudget = 16 * 1024 + 128;

// Reads the audio facts of the regular file open as `fd`, `size` bytes long, with pread only
// (the file offset is not used or moved). Never throws for the file's contents; never reads past
// what it asked for; ends in bounded time on any input.
AudioRead ReadAudioFacts(int fd, std::int64_t size, const AudioReadOptions& options = {});

}  // namespace doze
