// SPDX-License-Identifier: MIT
#include "output/list_rows.h"

#include "output/size_format.h"

namespace doze {

bool RowReader::Next(ListRow& row) {
    const EntryList& list = *job_.FoundList;
    const std::int32_t n = list.UpperBound();
    if (groupEndDue_) {
        groupEndDue_ = false;
        row = ListRow{};
        row.kind = ListRow::Kind::GroupEnd;
        return true;
    }
    if (index_ == 0) folder_ = job_.SearchRoot;
    while (index_ < n) {
        const std::string_view entry = list[++index_];
        const bool last = index_ == n;
        if (!IsFolderEntry(entry)) {
            const FileEntryParts parts = SplitFileEntry(entry);
            row = ListRow{};
            row.folder = folder_;
            row.name = parts.name;
            row.bytes = ParseByteCount(parts.sizeText);
            const auto file = static_cast<std::size_t>(files_++);
            if (job_.Audio != nullptr && file < job_.Audio->size())
                row.audio = &(*job_.Audio)[file];
            row.firstOfFolder = !folderOpen_;
            folderOpen_ = true;
            groupEndDue_ = !last && IsFolderEntry(list[index_ + 1]);
            return true;
        }
        if (!last && !IsFolderEntry(list[index_ + 1])) {
            folder_ = entry;
            folderOpen_ = false;
            row = ListRow{};
            row.kind = ListRow::Kind::Heading;
            row.folder = entry;
            return true;
        }
    }
    return false;
}

bool RootHasFiles(const ListJob& job) {
    const EntryList& list = *job.FoundList;
    return list.UpperBound() >= 1 && !IsFolderEntry(list[1]);
}

}  // namespace doze
