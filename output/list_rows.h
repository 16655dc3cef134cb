// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <string_view>

#include "output/list_writers.h"

namespace doze {

// One step of a list as every format sees it, read from the found-file list.
struct ListRow {
    enum class Kind {
        File,      // a file of the current folder
        GroupEnd,  // the file just given ends its folder's group: a folder entry follows
        Heading,   // a folder whose own files follow
    };
    Kind kind = Kind::File;
    std::string_view
        folder;  // File: its folder (the searched one for its own files); Heading: the folder
    std::string_view name;              // File
    std::int64_t bytes = 0;             // File
    const AudioFacts* audio = nullptr;  // File, when the list was made with audio facts
    bool firstOfFolder = false;         // File: no file of its folder came before it
};

// Reads the job's found-file list (entries 1..UpperBound, in order) as rows, the
// way all formats share: file entries become files, a folder entry becomes a
// heading only when a file entry follows it, one that ends the list is dropped.
class RowReader {
  public:
    explicit RowReader(const ListJob& job) : job_(job) {}
    // The next row; false at the end. Throws SizeConversionFailure for a size
    // that cannot be read as a byte count.
    bool Next(ListRow& row);
    // File rows given so far.
    std::int32_t Files() const { return files_; }

  private:
    const ListJob& job_;
    std::int32_t index_ = 0;  // of the last entry read
    std::int32_t files_ = 0;
    bool groupEndDue_ = false;
    std::string_view folder_;
    bool folderOpen_ = false;
};

// True when the list's first entry is a file entry: the searched folder has
// files of its own.
bool RootHasFiles(const ListJob& job);

}  // namespace doze
