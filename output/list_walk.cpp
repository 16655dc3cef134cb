#include "output/list_walk.h"

#include "output/size_format.h"
#include "output/write_failure.h"
#include "search/search_state.h"

namespace doze {

std::int32_t WalkList(const EntryList& list, std::string_view decimalSeparator,
                      ListLayout& layout) {
    const std::int32_t n = list.UpperBound();
    std::int32_t listed = 0;
    for (std::int32_t i = 1; i <= n; ++i) {
        const std::string_view entry = list[i];
        const bool last = i == n;
        if (!IsFolderEntry(entry)) {
            const FileEntryParts parts = SplitFileEntry(entry);
            layout.FileLine(parts.name, FormatSizeMB(parts.sizeText, decimalSeparator));
            ++listed;
            if (!last && IsFolderEntry(list[i + 1])) layout.GroupEnd();
        } else if (!last && !IsFolderEntry(list[i + 1])) {
            layout.Heading(entry);
        }
    }
    return listed;
}

}  // namespace doze

namespace doze {

std::int32_t WalkJobList(const ListJob& job, const ListSink& sink, ListLayout& layout) {
    try {
        return WalkList(*job.FoundList, job.DecimalSeparator, layout);
    } catch (const SizeConversionFailure& failure) {
        throw WriteFailure("Cannot write \"" + sink.Name() + "\": " + failure.what() +
                           std::string("."));
    }
}

}  // namespace doze
