// SPDX-License-Identifier: MIT
#include "output/json_writer.h"

#include <string>

#include "output/json_text.h"
#include "output/list_rows.h"

namespace doze {
namespace {

// Files, bytes and duration added up; the duration is known only while every
// file's is.
struct Totals {
    std::int64_t files = 0;
    std::int64_t bytes = 0;
    std::int64_t durationMs = 0;
    bool durationKnown;  // false without audio facts

    explicit Totals(bool audio) : durationKnown(audio) {}

    void Add(const ListRow& row) {
        ++files;
        bytes += row.bytes;
        if (row.audio != nullptr && row.audio->durationMs) {
            durationMs += *row.audio->durationMs;
        } else {
            durationKnown = false;
        }
    }
    std::optional<std::int64_t> Duration() const {
        return durationKnown ? std::optional<std::int64_t>(durationMs) : std::nullopt;
    }
    void Append(std::string& out) const {
        AppendJsonNumber(out, "files", files);
        out += ", ";
        AppendJsonNumber(out, "bytes", bytes);
        out += ", ";
        AppendJsonNumber(out, "duration_ms", Duration());
    }
};

void AppendBool(std::string& out, std::string_view key, std::optional<bool> value) {
    AppendJsonKey(out, key);
    out.append(!value ? "null" : *value ? "true" : "false");
}

void AppendOptionalText(std::string& out, std::string_view key,
                        const std::optional<std::string>& value, bool scriptSafe) {
    if (value) {
        AppendJsonText(out, key, *value, scriptSafe);
    } else {
        AppendJsonKey(out, key);
        out += "null";
    }
}

void AppendAudio(std::string& out, const AudioFacts& a, bool scriptSafe) {
    out += ", ";
    AppendJsonNumber(out, "duration_ms", a.durationMs);
    out += ", ";
    AppendBool(out, "duration_exact",
               a.durationMs ? std::optional<bool>(a.durationExact) : std::nullopt);
    out += ", ";
    AppendJsonNumber(out, "bitrate_kbps", a.bitrateKbps);
    out += ", ";
    AppendBool(out, "vbr", a.vbr);
    out += ", ";
    AppendJsonNumber(out, "sample_rate", a.sampleRate);
    out += ", ";
    AppendJsonNumber(out, "channels", a.channels);
    for (const auto& [key, value] : {std::pair{"artist", &a.artist}, std::pair{"album", &a.album},
                                     std::pair{"title", &a.title}}) {
        out += ", ";
        AppendOptionalText(out, key, *value, scriptSafe);
    }
    out += ", ";
    AppendJsonNumber(out, "track", a.track);
    out += ", ";
    AppendJsonNumber(out, "year", a.year);
    out += ", ";
    AppendOptionalText(out, "genre", a.genre, scriptSafe);
}

}  // namespace

std::int32_t WriteJsonDocument(const ListJob& job, ListSink& sink, bool scriptSafe) {
    const bool audio = job.Audio != nullptr;
    std::string out = "{\"generator\": \"dozedozovo-list " DOZE_VERSION "\", ";
    AppendJsonText(out, "root", job.SearchRoot, scriptSafe);
    out += ",\n \"folders\": [";
    Totals all(audio), folder(audio);
    std::int64_t folders = 0;
    auto closeFolder = [&] {
        out += "\n  ], \"totals\": {";
        folder.Append(out);
        out += "}}";
    };
    RowReader rows(job);
    for (ListRow row; rows.Next(row);) {
        if (row.kind != ListRow::Kind::File) continue;
        if (row.firstOfFolder) {
            if (folders > 0) {
                closeFolder();
                out += ',';
            }
            ++folders;
            folder = Totals(audio);
            out += "\n  {";
            AppendJsonText(out, "path", row.folder, scriptSafe);
            out += ", \"files\": [";
        } else {
            out += ',';
        }
        out += "\n   {";
        AppendJsonText(out, "name", row.name, scriptSafe);
        out += ", ";
        AppendJsonNumber(out, "bytes", row.bytes);
        if (audio) AppendAudio(out, row.audio != nullptr ? *row.audio : AudioFacts{}, scriptSafe);
        out += '}';
        folder.Add(row);
        all.Add(row);
        sink.Write(out);
        out.clear();
    }
    if (folders > 0) closeFolder();
    out += "\n ],\n \"totals\": {";
    AppendJsonNumber(out, "files", all.files);
    out += ", ";
    AppendJsonNumber(out, "folders", folders);
    out += ", ";
    AppendJsonNumber(out, "bytes", all.bytes);
    out += ", ";
    AppendJsonNumber(out, "duration_ms", all.Duration());
    out += "}}\n";
    sink.Write(out);
    return rows.Files();
}

std::int32_t WriteJsonList(const ListJob& job, ListSink& sink) {
    return WriteJsonDocument(job, sink, false);
}

}  // namespace doze
