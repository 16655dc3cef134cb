// SPDX-License-Identifier: MIT
#pragma once
#include <cstdint>

#include "output/list_writers.h"

namespace doze {

// The list as one UTF-8 JSON document: the generator, the searched folder,
// each folder that holds files of its own (in list order, with its files and
// totals) and the totals of the whole list. Each file has its name and bytes,
// and with audio facts its duration, stream and tags (null where unknown).
// With `scriptSafe`, '<', '>' and '&' are escaped too, so that the document
// can stand inside a script element. Returns the number of files.
std::int32_t WriteJsonDocument(const ListJob& job, ListSink& sink, bool scriptSafe);

}  // namespace doze
