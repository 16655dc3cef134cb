// SPDX-License-Identifier: MIT
#pragma once
#include <optional>

#include "audio/file_reader.h"
#include "audio/tag_fields.h"

namespace doze::audio {

inline constexpr std::size_t kId3v1Size = 128;

// The fields of the ID3v1 or ID3v1.1 tag `tag`, the last 128 bytes of a file, or nothing when
// they are not one. Texts are ISO-8859-1 without their trailing spaces; the genre number becomes
// its name, the track a text.
std::optional<TagText> ReadId3v1(Bytes tag);

}  // namespace doze::audio
