// SPDX-License-Identifier: MIT
#include "audio/id3v1.h"

#include <algorithm>
#include <cstring>

#include "audio/genres.h"
#include "audio/text_decode.h"

namespace doze::audio {

namespace {

// The text of a fixed-size field: up to its first NUL, without trailing spaces.
std::string FieldText(Bytes field) {
    auto end = std::find(field.begin(), field.end(), 0);
    while (end != field.begin() && *(end - 1) == ' ') --end;
    return Latin1ToUtf8(field.first(static_cast<std::size_t>(end - field.begin())));
}

}  // namespace

std::optional<TagText> ReadId3v1(Bytes tag) {
    if (tag.size() != kId3v1Size || std::memcmp(tag.data(), "TAG", 3) != 0) return std::nullopt;
    TagText text;
    text.title = FieldText(tag.subspan(3, 30));
    text.artist = FieldText(tag.subspan(33, 30));
    text.album = FieldText(tag.subspan(63, 30));
    text.year = FieldText(tag.subspan(93, 4));
    const Bytes comment = tag.subspan(97, 30);
    if (comment[28] == 0 && comment[29] != 0) text.track = std::to_string(comment[29]);
    if (const char* genre = GenreName(tag[127])) text.genre = genre;
    return text;
}

}  // namespace doze::audio
