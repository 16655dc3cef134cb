#include "output/list_writers.h"

#include <utility>

#include "output/safe_file.h"

namespace doze {

std::string CompletionText(std::int32_t count) {
    return std::to_string(count) + " MP3 files were generated, have a nice day!";
}

std::int32_t WriteList(ListFormat format, const ListJob& job, ListSink& sink,
                       CompletionReporter& reporter) {
    return format == ListFormat::Html ? WriteHtmlList(job, sink, reporter)
                                      : WriteTextList(job, sink, reporter);
}

std::int32_t WriteList(ListFormat format, const ListJob& job, const std::string& outputPath,
                       CompletionReporter& reporter, ReplaceConsent consent) {
    ReplacingFile file(outputPath, SystemFileCalls(), std::move(consent));
    return WriteList(format, job, file, reporter);
}

}  // namespace doze
