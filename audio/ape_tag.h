// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "audio/file_reader.h"
#include "audio/tag_fields.h"

namespace doze::audio {

inline constexpr std::size_t kApeFooterSize = 32;

// Where an APEv2 tag lies, as its footer tells.
struct ApeTag {
    std::int64_t start;    // its header, or its first item when it has no header
    std::int64_t itemsAt;  // its first item
    std::int64_t itemsSize;
};

// The tag whose footer is `footer`, the 32 bytes at `footerAt` of the file; nothing when they are
// not an APE footer. `problem` is set for a footer whose sizes do not fit the file.
std::optional<ApeTag> ReadApeFooter(Bytes footer, std::int64_t footerAt, std::string& problem);

// The text items of `tag` we list (Artist, Album, Title, Genre, Track, Year), as far as the
// budget allows reading them.
TagText ReadApeItems(FileReader& file, const ApeTag& tag);

}  // namespace doze::audio
