// SPDX-License-Identifier: MIT
#include "output/list_writers.h"

#include <utility>

#include "output/list_formats.h"
#include "output/safe_file.h"
#include "output/write_failure.h"

namespace doze {

std::string CompletionText(std::int32_t count) {
    return std::to_string(count) + " MP3 files were generated, have a nice day!";
}

std::optional<std::int32_t> WriteList(ListFormat format, const ListJob& job, ListSink& sink,
                                      CompletionReporter& reporter) {
    std::int32_t listed = 0;
    try {
        listed = FormatInfo(format).writer(job, sink);
    } catch (const SizeConversionFailure& failure) {
        throw WriteFailure("Cannot write \"" + sink.Name() + "\": " + failure.what());
    }
    if (sink.Commit() == Committed::TargetKept) return std::nullopt;
    reporter.ListComplete(listed);
    return listed;
}

std::optional<std::int32_t> WriteList(ListFormat format, const ListJob& job,
                                      const std::string& outputPath, CompletionReporter& reporter,
                                      ReplaceConsent consent) {
    ReplacingFile file(outputPath, SystemFileCalls(), std::move(consent));
    return WriteList(format, job, file, reporter);
}

}  // namespace doze
