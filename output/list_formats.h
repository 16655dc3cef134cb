// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>
#include <span>
#include <string_view>

#include "output/list_writers.h"

namespace doze {

// One list format: how the command line names it, how the Save-As dialog
// offers it, and its writer. The window, the companion and the tests read them
// all from ListFormats().
struct ListFormatInfo {
    ListFormat id;
    const char* option;       // the name after --format
    const char* dialogTitle;  // of the Save-As dialog
    const char* filter;       // the dialog's file-type filter: description "|" pattern
    std::int32_t (*writer)(const ListJob&, ListSink&);
    bool audioFacts;  // may carry durations and tags
};

// Every format, text first.
std::span<const ListFormatInfo> ListFormats();

// The entry of `format`.
const ListFormatInfo& FormatInfo(ListFormat format);

// The format named `option` on the command line; nullptr for none.
const ListFormatInfo* FindFormat(std::string_view option);

}  // namespace doze
