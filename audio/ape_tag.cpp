// SPDX-License-Identifier: MIT
#include "audio/ape_tag.h"

#include <strings.h>

#include <algorithm>
#include <cstring>

#include "audio/text_decode.h"

namespace doze::audio {

namespace {

std::uint32_t LittleEndian32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[3]) << 24 | static_cast<std::uint32_t>(p[2]) << 16 |
           static_cast<std::uint32_t>(p[1]) << 8 | p[0];
}

std::optional<std::string>* FieldFor(TagText& text, const char* key) {
    if (::strcasecmp(key, "Artist") == 0) return &text.artist;
    if (::strcasecmp(key, "Album") == 0) return &text.album;
    if (::strcasecmp(key, "Title") == 0) return &text.title;
    if (::strcasecmp(key, "Genre") == 0) return &text.genre;
    if (::strcasecmp(key, "Track") == 0) return &text.track;
    if (::strcasecmp(key, "Year") == 0) return &text.year;
    return nullptr;
}

}  // namespace

std::optional<ApeTag> ReadApeFooter(Bytes footer, std::int64_t footerAt, std::string& problem) {
    if (footer.size() != kApeFooterSize || std::memcmp(footer.data(), "APETAGEX", 8) != 0) {
        return std::nullopt;
    }
    const std::int64_t size = LittleEndian32(footer.data() + 12);  // items and footer
    const bool hasHeader = (LittleEndian32(footer.data() + 20) & 0x80000000u) != 0;
    const std::int64_t itemsAt = footerAt + static_cast<std::int64_t>(kApeFooterSize) - size;
    const std::int64_t start =
        itemsAt - (hasHeader ? static_cast<std::int64_t>(kApeFooterSize) : 0);
    if (size < static_cast<std::int64_t>(kApeFooterSize) || start < 0) {
        problem = "its APEv2 tag is not valid";
        return std::nullopt;
    }
    return ApeTag{start, itemsAt, size - static_cast<std::int64_t>(kApeFooterSize)};
}

TagText ReadApeItems(FileReader& file, const ApeTag& tag) {
    TagText text;
    const auto length = static_cast<std::size_t>(std::min(tag.itemsSize, file.Spendable()));
    const Bytes items = file.Get(tag.itemsAt, length);
    std::size_t at = 0;
    while (at + 8 < items.size()) {
        const std::uint32_t valueSize = LittleEndian32(items.data() + at);
        const std::uint32_t flags = LittleEndian32(items.data() + at + 4);
        const auto keyEnd =
            std::find(items.begin() + static_cast<std::ptrdiff_t>(at + 8), items.end(), 0);
        if (keyEnd == items.end()) break;
        const std::string key(items.begin() + static_cast<std::ptrdiff_t>(at + 8), keyEnd);
        const auto valueAt = static_cast<std::size_t>(keyEnd - items.begin()) + 1;
        if (valueSize > items.size() - valueAt) break;
        auto* field = FieldFor(text, key.c_str());
        if (field != nullptr && !*field && (flags & 6) == 0) {  // a UTF-8 text item
            const Bytes value = items.subspan(valueAt, valueSize);
            *field = RepairUtf8(value.first(static_cast<std::size_t>(
                                    std::find(value.begin(), value.end(), 0) - value.begin())))
                         .utf8;
        }
        at = valueAt + valueSize;
    }
    return text;
}

}  // namespace doze::audio
