#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "output/list_writers.h"

namespace doze::test {

// A list as written: its lines without their CR LF, and the count returned
// (-1 when writing it failed).
struct WrittenList {
    std::vector<std::string> lines;
    std::int32_t count;
};

// Writes the list of `entries` found below `root` in `format` into memory.
// Checks that a list written was committed, its count reported once and each
// of its lines ended by CR LF, and that one that failed was neither.
WrittenList WriteInMemory(ListFormat format, const std::string& root,
                          const std::vector<std::string>& entries);

}  // namespace doze::test
