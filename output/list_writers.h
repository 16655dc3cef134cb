#pragma once
#include <cstdint>
#include <string>

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

// Writes the plain-text list into `sink`, commits it, then tells `reporter`.
// Returns the number of files listed. Throws WriteFailure; then nothing is
// reported and the sink's target is unchanged.
std::int32_t WriteTextList(const ListJob& job, ListSink& sink, CompletionReporter& reporter);

// The same as an HTML page.
std::int32_t WriteHtmlList(const ListJob& job, ListSink& sink, CompletionReporter& reporter);

// The two list formats, and the writer of each.
enum class ListFormat { Text, Html };

// The writer of `format` into `sink`.
std::int32_t WriteList(ListFormat format, const ListJob& job, ListSink& sink,
                       CompletionReporter& reporter);

// The writer of `format`, replacing the file `outputPath` safely; `consent`
// as for ReplacingFile.
std::int32_t WriteList(ListFormat format, const ListJob& job, const std::string& outputPath,
                       CompletionReporter& reporter, ReplaceConsent consent = {});

}  // namespace doze
