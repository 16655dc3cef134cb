// SPDX-License-Identifier: MIT
#include <unistd.h>

#include "audio/ape_tag.h"
#include "audio/audio_facts.h"
#include "audio/audio_stream.h"
#include "audio/file_reader.h"
#include "audio/id3v1.h"
#include "audio/id3v2.h"
#include "audio/tag_fields.h"

namespace doze {

namespace {

using namespace audio;

constexpr std::int64_t kStreamReserve = 4096;  // kept from the tags for the stream's first frames
constexpr auto kV1Size = static_cast<std::int64_t>(kId3v1Size);
constexpr auto kFooterSize = static_cast<std::int64_t>(kApeFooterSize);

bool AnyTagFieldUnknown(const AudioFacts& facts) {
    return !facts.artist || !facts.album || !facts.title || !facts.genre || !facts.track ||
           !facts.year;
}

}  // namespace

AudioRead ReadAudioFacts(int fd, std::int64_t size, const AudioReadOptions& options) {
    AudioRead read;
    if (size <= 0) {
        read.problem = "it is empty";
        return read;
    }
    std::string problem;
    const auto note = [&problem](const std::string& what) {
        if (problem.empty()) problem = what;
    };
    thread_local FileReader::Storage storage;
    FileReader file(fd, size, options.pread != nullptr ? options.pread : ::pread, kAudioReadBudget,
                    storage);

    // The tail: an ID3v1 tag, and an APEv2 footer before it or at the very end.
    const std::int64_t tailAt = std::max<std::int64_t>(size - kV1Size - kFooterSize, 0);
    const Bytes tail = file.Get(tailAt, static_cast<std::size_t>(size - tailAt));
    std::int64_t end = size;  // of the stream
    std::optional<TagText> v1;
    if (size >= kV1Size && !tail.empty()) {
        v1 = ReadId3v1(tail.last(kId3v1Size));
        if (v1) end -= kV1Size;
    }
    std::optional<ApeTag> ape;
    const std::int64_t footerAt = end - kFooterSize;
    if (footerAt >= tailAt && !tail.empty()) {
        std::string apeProblem;
        ape =
            ReadApeFooter(tail.subspan(static_cast<std::size_t>(footerAt - tailAt), kApeFooterSize),
                          footerAt, apeProblem);
        if (ape) end = ape->start;
        note(apeProblem);
    }

    // Tags first, with enough kept back to find the stream; then the stream.
    file.HoldBack(kStreamReserve);
    const Id3v2Tag v2 = ReadId3v2(file);
    note(v2.problem);
    FillUnknown(v2.text, read.facts);
    if (ape && AnyTagFieldUnknown(read.facts)) FillUnknown(ReadApeItems(file, *ape), read.facts);
    file.HoldBack(0);
    if (v2.end < end) {
        note(ReadStream(file, v2.end, end, options.exactDurations, read.facts));
    } else if (v2.end <= size) {
        note("no MPEG audio frame found");
    }
    if (v1) FillUnknown(*v1, read.facts);
    read.problem = file.Failure().empty() ? problem : file.Failure();
    return read;
}

}  // namespace doze
