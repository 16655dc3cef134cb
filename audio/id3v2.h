// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string>

#include "audio/file_reader.h"
#include "audio/tag_fields.h"

namespace doze::audio {

// What an ID3v2 tag at the start of a file gave.
struct Id3v2Tag {
    std::int64_t end = 0;  // where the tag ends (past the file's end for a tag cut short); 0: none
    TagText text;
    std::string problem;  // empty, or what could not be read and why
};

// Reads the ID3v2.2, 2.3 or 2.4 tag that begins the file, if any: frame headers one after the
// other, the text frames we list and nothing of the others (pictures, padding), which are passed
// over by their sizes. Handles unsynchronisation, extended headers, footers and 2.4 tags that
// give frame sizes as plain numbers instead of syncsafe ones.
Id3v2Tag ReadId3v2(FileReader& file);

}  // namespace doze::audio
