// SPDX-License-Identifier: MIT
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "audio/audio_facts.h"

namespace doze::audio {

// The texts one tag holds for the fields we list, in valid UTF-8, as the tag has them.
struct TagText {
    std::optional<std::string> artist, album, title, genre, track, year;
};

// The number a track text begins with ("3/12" is 3), if it is above 0.
std::optional<int> TrackNumber(std::string_view text);

// The year of a date text: its first four characters, when they are digits ("2004-05-06" is 2004).
std::optional<int> YearNumber(std::string_view text);

// The genre a genre text names: "(17)", "17" and "(17)Rock" are "Rock", "(RX)" is "Remix", "((a"
// is "(a", other text is kept. Nothing for an empty text.
std::optional<std::string> GenreOf(std::string_view text);

// Fills the tag fields of `facts` that are still unknown from `tag`; empty texts stay unknown.
void FillUnknown(const TagText& tag, AudioFacts& facts);

}  // namespace doze::audio
