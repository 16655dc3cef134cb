// SPDX-License-Identifier: MIT
#include "audio/tag_fields.h"

#include <algorithm>

#include "audio/genres.h"

namespace doze::audio {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The genre a reference inside parentheses, or a bare number, names.
std::optional<std::string> GenreReference(std::string_view reference) {
    if (reference == "RX") return "Remix";
    if (reference == "CR") return "Cover";
    if (reference.empty() || reference.size() > 3 ||
        !std::all_of(reference.begin(), reference.end(), IsDigit)) {
        return std::nullopt;
    }
    const char* name = GenreName(std::stoi(std::string(reference)));
    if (name == nullptr) return std::nullopt;
    return name;
}

}  // namespace

std::optional<int> TrackNumber(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    int number = 0;
    std::size_t digits = 0;
    for (; digits < text.size() && IsDigit(text[digits]); ++digits) {
        if (digits == 9) return std::nullopt;
        number = number * 10 + (text[digits] - '0');
    }
    if (number == 0) return std::nullopt;
    return number;
}

std::optional<int> YearNumber(std::string_view text) {
    if (text.size() < 4 || !std::all_of(text.begin(), text.begin() + 4, IsDigit)) {
        return std::nullopt;
    }
    const int year = std::stoi(std::string(text.substr(0, 4)));
    if (year == 0) return std::nullopt;
    return year;
}

std::optional<std::string> GenreOf(std::string_view text) {
    const std::string_view whole = text;
    std::optional<std::string> referred;  // the first genre named by a reference
    while (text.size() >= 2 && text[0] == '(' && text[1] != '(') {
        const std::size_t close = text.find(')');
        if (close == std::string_view::npos) break;
        if (!referred) referred = GenreReference(text.substr(1, close - 1));
        text.remove_prefix(close + 1);
    }
    if (text.starts_with("((")) text.remove_prefix(1);
    if (!text.empty()) return GenreReference(text).value_or(std::string(text));
    if (referred) return referred;
    if (whole.empty()) return std::nullopt;
    return std::string(whole);
}

void FillUnknown(const TagText& tag, AudioFacts& facts) {
    const auto text = [](std::optional<std::string>& field,
                         const std::optional<std::string>& from) {
        if (!field && from && !from->empty()) field = *from;
    };
    text(facts.artist, tag.artist);
    text(facts.album, tag.album);
    text(facts.title, tag.title);
    if (!facts.genre && tag.genre) facts.genre = GenreOf(*tag.genre);
    if (!facts.track && tag.track) facts.track = TrackNumber(*tag.track);
    if (!facts.year && tag.year) facts.year = YearNumber(*tag.year);
}

}  // namespace doze::audio
