#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "output/list_sink.h"
#include "output/list_writers.h"
#include "search/search_state.h"

namespace doze {

// What a list format writes at each step of the walk over the found-file list.
class ListLayout {
  public:
    virtual ~ListLayout() = default;
    // A file of the current folder, with its size already formatted ("4.00").
    virtual void FileLine(std::string_view name, const std::string& megabytes) = 0;
    // A folder entry follows the file line just written.
    virtual void GroupEnd() = 0;
    // A folder whose own files follow.
    virtual void Heading(std::string_view folder) = 0;
};

// Walks entries 1..UpperBound of `list` in order, the way both list formats
// share: file entries become file lines, a folder entry gets a heading only
// when a file entry follows it, a folder entry that ends the list is dropped.
// Returns the number of file lines. A size that cannot be converted throws.
std::int32_t WalkList(const EntryList& list, std::string_view decimalSeparator, ListLayout& layout);

// WalkList over the job's list; a size that cannot be converted is reported
// as a failure to write the sink's target.
std::int32_t WalkJobList(const ListJob& job, const ListSink& sink, ListLayout& layout);

}  // namespace doze
