// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "audio/audio_facts.h"
#include "output/list_sink.h"
#include "output/safe_file.h"
#include "search/search_state.h"

namespace doze {

// The maker's address, on line 2 of a text list and in the link of a page.
inline constexpr const char* kMakerAddress = "https://vovezaduvu.example/dozedozovo";

// What a writer reads: the searched folder and its trimmed found-file list.
struct ListJob {
    std::string SearchRoot;
    const EntryList* FoundList = nullptr;
    std::string DecimalSeparator = ".";
    // The audio facts of the file entries, one per file entry in list order;
    // null when the list was made without them.
    const std::vector<AudioFacts>* Audio = nullptr;
};

// Told once a list has been written in full and stored.
class CompletionReporter {
  public:
    virtual ~CompletionReporter() = default;
    // Count of files listed; CompletionText(count) is what the user is told.
    virtual void ListComplete(std::int32_t count) = 0;
};

// "N MP3 files were generated, have a nice day!"
std::string CompletionText(std::int32_t count);
// Title of the completion message: "Complete".
inline constexpr const char* kCompletionTitle = "Complete";

// The writers. Each renders the job's list into `sink` and returns the number
// of files listed; storing the list (Commit) and telling the user are the
// caller's. A size that cannot be read throws SizeConversionFailure, a sink
// that cannot take the bytes WriteFailure.
std::int32_t WriteTextList(const ListJob& job, ListSink& sink);  // plain text
std::int32_t WriteHtmlList(const ListJob& job, ListSink& sink);  // a page of tables
std::int32_t WriteCsvList(const ListJob& job, ListSink& sink);   // one row per file
std::int32_t WriteJsonList(const ListJob& job, ListSink& sink);  // one JSON document
// A page that searches, sorts and folds the list, which it holds as the JSON
// document in its element #dozedozovo-data.
std::int32_t WriteCatalogList(const ListJob& job, ListSink& sink);

// The list formats; ListFormatInfo tells the rest.
enum class ListFormat { Text, Html, Csv, Json, Catalog };

// Renders the list of `format` into `sink`, commits it, then tells `reporter`
// the count, which it returns; none, and nothing reported, when the sink kept
// what appeared at its target (Committed::TargetKept). Throws WriteFailure (a
// size that cannot be read included); then nothing is reported and the
// sink's target is unchanged.
std::optional<std::int32_t> WriteList(ListFormat format, const ListJob& job, ListSink& sink,
                                      CompletionReporter& reporter);

// The same, replacing the file `outputPath` safely; `consent` as for ReplacingFile.
std::optional<std::int32_t> WriteList(ListFormat format, const ListJob& job,
                                      const std::string& outputPath, CompletionReporter& reporter,
                                      ReplaceConsent consent = {});

}  // namespace doze
