// SPDX-License-Identifier: MIT
#include <algorithm>
#include <optional>
#include <string>

#include "output/list_rows.h"
#include "output/list_writers.h"
#include "output/utf8.h"

namespace doze {
namespace {

constexpr const char* kColumns = "folder,name,bytes";
constexpr const char* kAudioColumns =
    ",duration_ms,duration_exact,bitrate_kbps,vbr,sample_rate,channels,artist,album,title,track,"
    "year,genre";

// A text field: invalid UTF-8 repaired, a leading character that a spreadsheet
// would take for the start of a formula guarded by "'", quoted where it holds a
// comma, a quote or a line end.
void AppendText(std::string& out, std::string_view text) {
    const std::size_t start = out.size();
    if (!text.empty() &&
        std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos) {
        out += '\'';
    }
    AppendRepairedUtf8(out, text);
    const std::string_view field = std::string_view(out).substr(start);
    const auto special = [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; };
    if (std::none_of(field.begin(), field.end(), special)) return;
    std::string quoted = "\"";
    for (const char c : field) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    quoted += '"';
    out.replace(start, std::string::npos, quoted);
}

void AppendNumber(std::string& out, std::optional<std::int64_t> value) {
    out += ',';
    if (value) out += std::to_string(*value);
}

void AppendBool(std::string& out, std::optional<bool> value) {
    out += ',';
    if (value) out += *value ? "true" : "false";
}

void AppendOptionalText(std::string& out, const std::optional<std::string>& value) {
    out += ',';
    if (value) AppendText(out, *value);
}

void AppendAudio(std::string& out, const AudioFacts& a) {
    AppendNumber(out, a.durationMs);
    AppendBool(out, a.durationMs ? std::optional<bool>(a.durationExact) : std::nullopt);
    AppendNumber(out, a.bitrateKbps);
    AppendBool(out, a.vbr);
    AppendNumber(out, a.sampleRate);
    AppendNumber(out, a.channels);
    AppendOptionalText(out, a.artist);
    AppendOptionalText(out, a.album);
    AppendOptionalText(out, a.title);
    AppendNumber(out, a.track);
    AppendNumber(out, a.year);
    AppendOptionalText(out, a.genre);
}

}  // namespace

std::int32_t WriteCsvList(const ListJob& job, ListSink& sink) {
    const bool audio = job.Audio != nullptr;
    std::string line = kColumns;
    if (audio) line += kAudioColumns;
    line += "\r\n";
    sink.Write(line);
    RowReader rows(job);
    for (ListRow row; rows.Next(row);) {
        if (row.kind != ListRow::Kind::File) continue;
        line.clear();
        AppendText(line, row.folder);
        line += ',';
        AppendText(line, row.name);
        AppendNumber(line, row.bytes);
        if (audio) AppendAudio(line, row.audio != nullptr ? *row.audio : AudioFacts{});
        line += "\r\n";
        sink.Write(line);
    }
    return rows.Files();
}

}  // namespace doze
