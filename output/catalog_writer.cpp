// SPDX-License-Identifier: MIT
#include "output/catalog_page.h"
#include "output/json_writer.h"
#include "output/list_writers.h"

namespace doze {

std::int32_t WriteCatalogList(const ListJob& job, ListSink& sink) {
    sink.Write(kCatalogHead);
    const std::int32_t files = WriteJsonDocument(job, sink, /*scriptSafe=*/true);
    sink.Write(kCatalogTail);
    return files;
}

}  // namespace doze
