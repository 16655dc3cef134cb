// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>

#include "audio/audio_facts.h"
#include "audio/file_reader.h"

namespace doze::audio {

// Fills the duration, bitrate, VBR flag, sample rate and channels of `facts` from the MPEG audio
// stream between `start` (where the tags before it end) and `end` (where those after it begin):
// from a Xing, Info or VBRI header's frame count when the stream has a sound one, the LAME tag's
// delay and padding taken off; else by counting every frame when `exactDurations`; else by an
// estimate from frames sampled across the stream. Returns what could not be read, or "".
std::string ReadStream(FileReader& file, std::int64_t start, std::int64_t end, bool exactDurations,
                       AudioFacts& facts);

}  // namespace doze::audio
