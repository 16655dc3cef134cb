#include "output/list_writers.h"

#include "output/safe_file.h"

namespace doze {

std::string CompletionText(std::int32_t count) {
    return std::to_string(count) + " MP3 files were generated, have a nice day!";
}

std::int32_t WriteTextList(const ListJob& job, const std::string& outputPath,
                           CompletionReporter& reporter) {
    ReplacingFile file(outputPath);
    return WriteTextList(job, file, reporter);
}

std::int32_t WriteHtmlList(const ListJob& job, const std::string& outputPath,
                           CompletionReporter& reporter) {
    ReplacingFile file(outputPath);
    return WriteHtmlList(job, file, reporter);
}

}  // namespace doze
